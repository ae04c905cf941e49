// Log text on its way out: URL decoding never yields a control character the text did not
// already hold, and a CSV row of any cells holds no raw control character and reads back as
// its repaired, guarded cells.
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "core/TextRepair_u.h"
#include "engine/HTTPDecode_u.h"
#include "export/ExportCSV_u.h"

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::size_t CountControls(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += IsControl(c) && c != '\t' && c != '\r' && c != '\n';
    return count;
}

// The cells of one quoted row (every non-empty cell quoted, quotes doubled), or nothing.
std::vector<std::string> ReadRow(std::string_view row) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted) {
            if (c != '"') {
                cells.back() += c;
            } else if (i + 1 < row.size() && row[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            cells.emplace_back();
        } else if (row.substr(i) == "\r\n") {
            return cells;
        } else {
            std::abort();
        }
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string_view text = fuzz::AsText(data, size);

    std::string decoded;
    HTTPDecode(text, decoded);
    std::size_t raw = 0;
    for (const char c : text) raw += IsControl(c);
    std::size_t left = 0;
    for (const char c : decoded) left += IsControl(c);
    if (left != raw) std::abort();

    std::vector<std::string> cells;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string_view::npos) end = text.size();
        cells.push_back(GuardFormulaCell(std::string(text.substr(start, end - start))));
        start = end + 1;
    }
    std::string row;
    AppendCSVRow(row, cells, ";");
    if (CountControls(row) != 0 || !IsValidUtf8(row)) std::abort();
    const std::vector<std::string> back = ReadRow(row);
    if (back.size() != cells.size()) std::abort();
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (back[i] != RepairOutputText(cells[i])) std::abort();
    return 0;
}
