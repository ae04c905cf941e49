#include "engine/LogConvert_split.h"

#include "engine/LogConvert_scan.h"

namespace brindle {

int SplitLine(std::string_view line, TSplitFields& fields) {
    const char* const text = line.data();
    const std::size_t length = line.size();
    bool inQuotes = false;
    bool inBrackets = false;
    bool tabMode = false;
    bool quotedField = false;
    int count = 0;
    std::size_t start = 0;

    auto closeField = [&](std::size_t end) {
        if (count == MaxSplitFields) return false;
        std::string_view field(text + start, end - start);
        if (quotedField && !tabMode && field.size() >= 2) field = field.substr(1, field.size() - 2);
        fields.Fields[count++] = field;
        quotedField = false;
        start = end + 1;
        return true;
    };

    // Jump from one byte that can change the state to the next. Inside quotes only a
    // quote or a tab can; in tab mode only tabs matter at all (quotes are never
    // dropped there and blanks never split, so neither quotes nor brackets count).
    for (std::size_t i = 0;; ++i) {
        if (tabMode)
            i = FindAnyOf<'\t'>(text, i, length);
        else if (inQuotes)
            i = FindAnyOf<'"', '\t'>(text, i, length);
        else
            i = FindAnyOf<' ', '"', '\t', '[', ']'>(text, i, length);
        if (i == length) break;
        switch (text[i]) {
        case '"':
            if (inQuotes) quotedField = true;
            inQuotes = !inQuotes;
            break;
        case '[':
            if (!inQuotes) inBrackets = true;
            break;
        case ']':
            if (!inQuotes) inBrackets = false;
            break;
        case '\t':
            // The field before the first tab still follows the blank-separated rules.
            if (!closeField(i)) {
                fields.N = 0;
                return 0;
            }
            tabMode = true;
            break;
        case ' ':
            if (!inQuotes && !inBrackets && !tabMode && !closeField(i)) {
                fields.N = 0;
                return 0;
            }
            break;
        default:
            break;
        }
    }
    if (!closeField(length)) {
        fields.N = 0;
        return 0;
    }
    fields.N = count;
    return count;
}

bool AllFieldsEndWithComma(const TSplitFields& fields, int count) {
    for (int i = 1; i <= count; ++i)
        if (!fields[i].ends_with(',')) return false;
    return true;
}

}  // namespace brindle
