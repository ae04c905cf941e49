#include "views/HTMLUtils_u.h"

#include <cstdio>
#include <initializer_list>

#include "core/AppPaths.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "core/TextRepair_u.h"

namespace brindle {

namespace {

constexpr std::string_view kCRLF = "\r\n";

std::string StyleRule(std::string_view selector, std::initializer_list<std::string_view> declarations) {
    std::string rule(selector);
    rule += "\r\n{\r\n";
    for (const std::string_view declaration : declarations) {
        rule += declaration;
        rule += ";\r\n";
    }
    rule += "}";
    return rule;
}

std::string BuildStyleSheet() {
    constexpr std::string_view font = "font-family: Arial,Helvetica,sans-serif";
    const std::string rules[] = {
        StyleRule("BODY", {"color: #000000", "background-color: #FFFFFF"}),
        StyleRule("TD.DocHeader1", {font, "font-size: 14pt", "font-weight: bold", "color: #FFFFFF",
                                    "background-image: url(back_head.gif)", "background-repeat: repeat-x"}),
        StyleRule("TD.DocHeader2", {font, "font-size: 8pt"}),
        StyleRule("TD.DocHeader3", {"background-color: #CCCCCC"}),
        StyleRule("TD.DocFooter", {font, "font-size: 10pt"}),
        StyleRule("TD.STitle",
                  {font, "font-size: 12pt", "font-weight: bold", "color: #FFFFFF", "background-color: #003399"}),
        StyleRule("TD.SComment", {font, "font-size: 8pt", "color: #000000", "background-color: #FFFFFF"}),
        StyleRule("TD.DColHeader", {font, "font-size: 8pt", "color: #000000", "background-color: #E0E0E0"}),
        StyleRule("TD.DRowOdd", {font, "font-size: 8pt", "color: #000000", "background-color: #FFFFFF"}),
        StyleRule("TD.DRowEven", {font, "font-size: 8pt", "color: #000000", "background-color: #FFFFE8"}),
        StyleRule("TD.DTitle",
                  {font, "font-size: 10pt", "font-weight: bold", "color: #000000", "background-color: #E0E0E0"}),
        StyleRule("TD.Info", {font, "font-size: 11pt", "color: #000000", "background-color: #FFFFFF"}),
    };
    std::string sheet;
    for (const std::string& rule : rules) {
        if (!sheet.empty()) sheet += kCRLF;
        sheet += rule;
    }
    return sheet;
}

bool IsTagChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

void AppendJsUnicodeEscape(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04X", value & 0xFFFFu);
    out += buffer;
}

}  // namespace

EExportHTML EExportHTML::CannotFind(const std::string& fileName) {
    return EExportHTML(
        SafeFormat("Could not find the file '%s'.\r\nYou should reinstall the product to ensure proper file placement.",
                   {fileName}));
}

EExportHTML EExportHTML::CannotCreate(const std::string& fileName, const std::string& reason) {
    EExportHTML error(
        SafeFormat("Could not create the file '%s'.\r\nThe disk may be full or write-protected.", {fileName}));
    error.writeFailure_ = true;
    error.reason_ = reason;
    return error;
}

// ---- Table builder ----

THTMLTableColumn& THTMLTableColumns::AddColumn() { return items_.emplace_back(); }

std::string_view THTMLTable::GetAlignText(std::uint8_t code) {
    switch (code) {
        case haLeft: return "left";
        case haCenter: return "center";
        case haRight: return "right";
        default: return {};
    }
}

std::string THTMLTable::GetTableBegin() const {
    return "<table width=\"90%\" border=\"1\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">\r\n";
}

std::string THTMLTable::GetTitleRow() const {
    return "<tr><td align=\"center\" class=\"DTitle\" colspan=" + std::to_string(Columns.Count()) + ">" + Title +
           "</td></tr>\r\n";
}

std::string THTMLTable::GetHeaderRow() const {
    std::string row = "<tr>";
    for (const THTMLTableColumn& column : Columns) {
        row += "<td align=\"";
        row += GetAlignText(column.HeaderAlign);
        row += "\" class=\"DColHeader\" nowrap>";
        row += column.Caption;
        row += "</td>";
    }
    row += "</tr>\r\n";
    return row;
}

std::string THTMLTable::GetDataRow(std::uint8_t odd) const {
    const std::string_view cellClass = odd == 1 ? "\" class=\"DRowOdd\">" : "\" class=\"DRowEven\">";
    std::string row = "<tr>";
    for (const THTMLTableColumn& column : Columns) {
        row += "<td align=\"";
        row += GetAlignText(column.CellAlign);
        row += cellClass;
        row += column.Text.empty() ? std::string_view("&nbsp;") : std::string_view(column.Text);
        row += "</td>";
    }
    row += "</tr>\r\n";
    return row;
}

std::string THTMLTable::GetTableEnd() const { return "</table>\r\n"; }

std::string MakeSectionHeader(std::string_view key, std::string_view title, std::string_view comment,
                              bool showComment) {
    std::string out = "<br><p></p>\r\n";
    out += "<a name=\"";
    out += key;
    out += "\"></a>\r\n";
    out += "<table width=\"90%\" border=\"0\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">\r\n";
    out += "<tr><td align=\"center\" class=\"STitle\">";
    out += title;
    out += "</td></tr>\r\n";
    if (showComment) {
        out += "<tr><td align=\"left\" class=\"SComment\">";
        out += comment;
        out += "</td></tr>\r\n";
    }
    out += "</table>\r\n";
    return out;
}

const std::string& ReportStyleSheet() {
    static const std::string sheet = BuildStyleSheet();
    return sheet;
}

// ---- Escaping ----

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c; break;
        }
    }
    return out;
}

bool IsWebLink(std::string_view text) {
    return StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://");
}

std::string HtmlLink(std::string_view url, std::string_view text) {
    if (!IsWebLink(url)) return HtmlEscape(text);
    return "<a href=\"" + HtmlEscape(url) + "\" target=\"_blank\">" + HtmlEscape(text) + "</a>";
}

std::string JsEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\'': out += "\\'"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '<':
            case '>':
            case '&': AppendJsUnicodeEscape(out, c); break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    AppendJsUnicodeEscape(out, c);
                } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                           (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
                            static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
                    // U+2028 and U+2029 end a string literal in older script engines.
                    AppendJsUnicodeEscape(out, 0x2000u + static_cast<unsigned char>(text[i + 2]) - 0x80u);
                    i += 2;
                } else {
                    out += static_cast<char>(c);
                }
                break;
        }
    }
    return out;
}

// ---- Templates ----

std::string TTemplateFiller::Fill(const THandler& handler) const { return Fill(text_, handler); }

std::string TTemplateFiller::Fill(std::string_view templateText, const THandler& handler) {
    std::string out;
    out.reserve(templateText.size());
    std::size_t pos = 0;
    while (pos < templateText.size()) {
        const std::size_t open = templateText.find("<#", pos);
        if (open == std::string_view::npos) break;
        std::size_t end = open + 2;
        while (end < templateText.size() && IsTagChar(templateText[end])) ++end;
        if (end == open + 2 || end >= templateText.size() || templateText[end] != '>') {
            // Not a tag: keep "<#" and go on after it.
            out.append(templateText.substr(pos, open + 2 - pos));
            pos = open + 2;
            continue;
        }
        out.append(templateText.substr(pos, open - pos));
        if (handler) out += handler(templateText.substr(open + 2, end - open - 2));
        pos = end + 1;
    }
    if (pos < templateText.size()) out.append(templateText.substr(pos));
    return out;
}

bool SameTagName(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

std::string PageTemplatePath(const std::string& name) { return AppPaths::ResourceDir() + "Template/html/" + name; }

std::string LoadPageTemplate(const std::string& name) {
    const std::string path = PageTemplatePath(name);
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) throw EExportHTML::CannotFind(path);
    // Every line ends in CR LF, also the last, whatever line ends the file was saved with.
    std::string text;
    text.reserve(bytes.size() + 64);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && bytes[lineEnd - 1] == '\r') --lineEnd;
        text.append(bytes, start, lineEnd - start);
        text += kCRLF;
        start = end + 1;
    }
    return text;
}

void WriteHtmlPage(const std::string& fileName, std::string_view page) {
    std::string bytes = RepairOutputText(page);
    bytes += kCRLF;
    WriteHtmlFile(fileName, bytes);
}

void WriteHtmlFile(const std::string& fileName, std::string_view bytes) {
    TAtomicFile file;
    if (!file.Open(fileName) || !file.Write(bytes) || !file.Commit())
        throw EExportHTML::CannotCreate(fileName, file.ErrorText());
}

}  // namespace brindle
