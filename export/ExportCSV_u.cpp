#include "export/ExportCSV_u.h"

#include <array>
#include <filesystem>
#include <initializer_list>

#include "core/CommonConsts_catalogue.h"
#include "core/SafeFormat_u.h"
#include "core/TextRepair_u.h"

namespace brindle {

namespace {

struct TExportColumns {
    TReportID ID = 0;
    std::uint8_t Count = 0;
    std::array<std::string_view, kMaxReportColumns> Names{};
};

constexpr TExportColumns Columns(TReportID id, std::initializer_list<std::string_view> names) {
    if (names.size() > kMaxReportColumns) throw "too many columns";
    TExportColumns columns;
    columns.ID = id;
    columns.Count = static_cast<std::uint8_t>(names.size());
    std::size_t i = 0;
    for (const std::string_view name : names) columns.Names[i++] = name;
    return columns;
}

constexpr std::array<TExportColumns, 43> kColumns = {{
    Columns(10, {"Category", "Item", "Value"}),
    Columns(21, {"Month", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "AvgVisitLen"}),
    Columns(22, {"Date", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "AvgVisitLen"}),
    Columns(23, {"Hour", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "AvgVisitLen"}),
    Columns(24, {"Day", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "AvgVisitLen"}),
    Columns(25, {"Day", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "AvgVisitLen"}),
    Columns(36, {"Host", "Country", "Hits", "Visits", "DateTime"}),
    Columns(37, {"Host", "Country", "Hits", "Visits", "Bandwidth"}),
    Columns(32, {"Domain", "Country", "Hits", "Visits", "Bandwidth"}),
    Columns(31, {"TLD", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(132, {"Country", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(133, {"Region", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(134, {"State", "Hits", "Visits", "Bandwidth"}),
    Columns(135, {"Province", "Hits", "Visits", "Bandwidth"}),
    Columns(136, {"Province", "Hits", "Visits", "Bandwidth"}),
    Columns(137, {"City", "Hits", "Visits", "Bandwidth"}),
    Columns(33, {"Browser", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(34, {"OperatingSystem", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(35, {"Spider", "Hits", "Hits100", "Visits", "Visits100"}),
    Columns(38, {"Visits", "Visitors", "Visitors100"}),
    Columns(131, {"Duration", "Visits", "Visits100"}),
    Columns(39, {"UserName", "Hits", "Hits100", "Visits", "Visits100", "Bandwidth", "Bandwidth100"}),
    Columns(41, {"URL", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(42, {"Page", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(43, {"FileName", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(44, {"Image", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(45, {"Audio", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(46, {"Video", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(141, {"Directory", "Hits", "Visits", "Bandwidth", "Incomplete"}),
    Columns(142, {"FileType", "Hits", "Bandwidth", "Incomplete"}),
    Columns(47, {"FileExtension", "Hits", "Bandwidth", "Incomplete"}),
    Columns(48, {"Page", "Entries"}),
    Columns(49, {"Page", "Exits"}),
    Columns(51, {"ReferringDomain", "Hits", "Visits", "Bandwidth", "Pageview"}),
    Columns(52, {"ReferringPage", "Hits", "Visits", "Bandwidth", "Pageview"}),
    Columns(53, {"SearchEngine", "Searches"}),
    Columns(54, {"Phrase", "Searches"}),
    Columns(55, {"Keyword", "Searches"}),
    Columns(56, {"SearchEngine", "Phrase", "Searches"}),
    Columns(57, {"SearchEngine", "Keyword", "Searches"}),
    Columns(63, {"Code", "Description", "Hits"}),
    Columns(61, {"RequestedURL", "Referrer", "Hits"}),
    Columns(62, {"Code", "Description", "RequestedURL", "Referrer", "Hits"}),
}};

struct TGeneralItemName {
    std::string_view RowKey;
    std::string_view Name;
};

constexpr TGeneralItemName kGeneralItemNames[] = {
    {"Item101", "DateBuild"},          {"Item102", "Period"},
    {"Item103", "FirstHit"},           {"Item104", "LastHit"},
    {"Item201", "TotalHits"},          {"Item202", "TotalVisitingUsers"},
    {"Item203", "TotalBandwidth"},     {"Item204", "HitsOnPages"},
    {"Item205", "HitsOnFiles"},        {"Item206", "HitsOnImages"},
    {"Item207", "HitsCachedByClient"}, {"Item208", "IncompleteDownloads"},
    {"Item209", "FailedRequests"},     {"Item301", "DataTransferPerDay"},
    {"Item302", "DataTransferPerHit"}, {"Item303", "DataTransferPerUser"},
    {"Item304", "HitsPerDay"},         {"Item305", "HitsPerUser"},
    {"Item306", "UsersPerDay"},
};

constexpr std::string_view kCRLF = "\r\n";

}  // namespace

std::span<const std::string_view> ExportColumnNames(int id) {
    for (const TExportColumns& columns : kColumns)
        if (columns.ID == id) return {columns.Names.data(), columns.Count};
    return {};
}

std::string_view ExportCategoryName(TGeneralCategory category) {
    switch (category) {
        case TGeneralCategory::Time: return "Time";
        case TGeneralCategory::Access: return "Access";
        case TGeneralCategory::Average: return "Average";
    }
    return {};
}

std::string_view ExportGeneralItemName(std::string_view rowKey) {
    for (const TGeneralItemName& item : kGeneralItemNames)
        if (item.RowKey == rowKey) return item.Name;
    return {};
}

std::string CSVSeparator(const TRecExportOptions& options, std::string_view systemListSeparator) {
    switch (options.CSVSeparatorType) {
        case 0:
            if (!options.CSVSeparatorChar.empty()) return options.CSVSeparatorChar;
            break;
        case 2: return ",";
        case 3: return ";";
        case 4: return "\t";
        default: break;
    }
    return std::string(systemListSeparator.empty() ? std::string_view(",") : systemListSeparator);
}

std::string GuardFormulaCell(std::string text) {
    if (text.empty() || text == "-") return text;
    switch (text.front()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r': text.insert(0, 1, '\''); break;
        default: break;
    }
    return text;
}

void AppendCSVRow(std::string& out, std::span<const std::string> fields, std::string_view separator) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) out += separator;
        first = false;
        if (field.empty()) continue;
        std::string repaired;
        std::string_view text = field;
        if (!IsCleanOutputText(text)) text = repaired = RepairOutputText(text);
        out += '"';
        for (const char c : text) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += kCRLF;
}

std::vector<TReportID> ExportedReportIDs(const TReportSet& reports) {
    std::vector<TReportID> ids;
    for (const TRecSectionProperty& row : SectionTable())
        if (!row.IsGroupRow() && reports.Contains(row.ID)) ids.push_back(row.ID);
    return ids;
}

bool WalkExportReports(const TReportSet& reports, const std::string& fileName, const std::atomic<bool>& cancelled,
                       const void* sender, const TProgressInfoEvent& onProgress,
                       const std::function<void(TReportID id)>& writeReport) {
    const std::string text = SafeFormat("Build : %s", {std::filesystem::path(fileName).filename().string()});
    if (onProgress) onProgress(sender, 0, text);
    const std::vector<TReportID> ids = ExportedReportIDs(reports);
    const std::int64_t total = static_cast<std::int64_t>(ids.size());
    std::int64_t count = 0;
    for (const TReportID id : ids) {
        if (cancelled) return false;
        writeReport(id);
        ++count;
        if (onProgress) onProgress(sender, static_cast<int>(count * 100 / total), text);
    }
    return !cancelled;
}

TExportCSV::TExportCSV(const TReportSource& source, const DisplayFormat& format) : source_(source), format_(format) {}

bool TExportCSV::Execute(const TReportSet& reports, const std::string& fileName, const std::string& separator) {
    cancelled_ = false;
    separator_ = separator;
    TAtomicFile file;
    if (!file.Open(fileName, 0666, TempKind)) throw EExportFile::CannotWrite(file);
    file_ = &file;
    struct TForget {
        TAtomicFile*& File;
        ~TForget() { File = nullptr; }
    } forget{file_};
    bool first = true;
    const bool finished = WalkExportReports(reports, fileName, cancelled_, this, OnProgress, [&](TReportID id) {
        if (!first) WriteRow({});
        first = false;
        WriteReport(id);
    });
    if (!finished) {
        file.Abort();
        return false;
    }
    if (!file.Commit()) throw EExportFile::CannotWrite(file);
    return true;
}

void TExportCSV::WriteRow(std::span<const std::string> fields) {
    line_.clear();
    AppendCSVRow(line_, fields, separator_);
    if (!file_->Write(line_)) throw EExportFile::CannotWrite(*file_);
}

void TExportCSV::WriteReport(TReportID id) {
    std::string key;
    GetReportKey(id, false, key);
    WriteRow(std::vector<std::string>{key});
    const std::span<const std::string_view> names = ExportColumnNames(id);
    WriteRow(std::vector<std::string>(names.begin(), names.end()));
    if (id == kGeneralReportID) {
        WriteGeneral();
        return;
    }
    const TReportRule* rule = FindReportRule(id);
    const std::span<const std::uint8_t> codes = rule ? rule->ValueCodes() : std::span<const std::uint8_t>();
    ForEachReportRow(source_, id, nullptr, format_, TReportConsumer::CSVExport,
                     [&](const TRecStat&, int, std::vector<std::string>& cells) {
                         for (std::size_t i = 0; i < cells.size() && i < codes.size(); ++i)
                             if (IsLogTextCode(codes[i])) cells[i] = GuardFormulaCell(std::move(cells[i]));
                         WriteRow(cells);
                     });
}

void TExportCSV::WriteGeneral() {
    std::string category;
    for (TGeneralItem& item : GeneralReportItems(source_, nullptr, format_)) {
        if (item.IsCategory) {
            category = ExportCategoryName(item.Category);
            continue;
        }
        WriteRow(std::vector<std::string>{std::move(category), std::string(ExportGeneralItemName(item.RowKey)),
                                          std::move(item.Value)});
        category.clear();
    }
}

}  // namespace brindle
