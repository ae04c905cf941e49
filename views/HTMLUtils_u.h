#pragma once
// Pieces of the HTML report pages: the data-table builder, the section header, the shared
// style sheet, the "<#TAG>" template filler, the escaping helpers and the page writer.
//
// The table builder concatenates its texts unchanged (cells may carry links and "<br>"),
// so whatever comes from a log, a profile or a host name must pass through HtmlEscape (or
// HtmlLink) before it reaches a caption, a title or a cell.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// A file of an HTML page or of the HTML export that cannot be found or written.
class EExportHTML : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // "Could not find the file '<name>'. You should reinstall ..."
    static EExportHTML CannotFind(const std::string& fileName);
    // "Could not create the file '<name>'. The disk may be full ..."; Reason is the system's
    // ("No space left on device"), kept apart for the export's own message.
    static EExportHTML CannotCreate(const std::string& fileName, const std::string& reason = {});

    bool IsWriteFailure() const { return writeFailure_; }
    const std::string& Reason() const { return reason_; }

private:
    bool writeFailure_ = false;
    std::string reason_;
};

// Alignment codes of the table columns.
enum : std::uint8_t { haLeft = 0, haCenter = 1, haRight = 2 };

struct THTMLTableColumn {
    std::string Caption;
    std::uint8_t HeaderAlign = haLeft;
    std::string Text;  // the cell of the row being written
    std::uint8_t CellAlign = haLeft;
};

class THTMLTableColumns {
public:
    // Appends a column with empty texts, aligned left, and returns it.
    THTMLTableColumn& AddColumn();
    THTMLTableColumn& GetColumn(std::size_t index) { return items_.at(index); }
    const THTMLTableColumn& GetColumn(std::size_t index) const { return items_.at(index); }
    std::size_t Count() const { return items_.size(); }
    void Clear() { items_.clear(); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<THTMLTableColumn> items_;
};

// One data table of a report page. Every piece ends with CR LF.
class THTMLTable {
public:
    THTMLTableColumns Columns;
    std::string Title;

    // "left", "center", "right"; empty for any other code.
    static std::string_view GetAlignText(std::uint8_t code);

    std::string GetTableBegin() const;
    std::string GetTitleRow() const;
    std::string GetHeaderRow() const;
    // Odd = 1 gives the class "DRowOdd", any other value "DRowEven". An empty cell is "&nbsp;".
    std::string GetDataRow(std::uint8_t odd) const;
    std::string GetTableEnd() const;
};

// The block that opens a report's section: its anchor (Key) and a one-cell title table,
// with the comment below the title when ShowComment is set.
std::string MakeSectionHeader(std::string_view key, std::string_view title, std::string_view comment, bool showComment);

// The style sheet of the report and information pages (no line end after the last rule).
const std::string& ReportStyleSheet();

// ---- Escaping ----

// Text for HTML content and quoted attribute values: & < > " ' become entities.
std::string HtmlEscape(std::string_view text);
// True for texts that start with "http://" or "https://" (scheme in any case).
bool IsWebLink(std::string_view text);
// A link opening Url in a new window and showing Text, both escaped, when Url is a web
// link; otherwise only the escaped Text.
std::string HtmlLink(std::string_view url, std::string_view text);
// The inside of a JavaScript string literal in single or double quotes: backslash, quotes,
// "<", ">", "&", control characters and the two line separators become escapes, so the
// text can never end the literal or the script element around it.
std::string JsEscape(std::string_view text);

// ---- Templates ----

// Fills a template in one pass: each "<#NAME>" (NAME made of letters, digits and "_") is
// replaced by what the handler returns for NAME. Replaced text is never scanned again,
// and "<#" not followed by such a tag stays as it is.
class TTemplateFiller {
public:
    using THandler = std::function<std::string(std::string_view tag)>;

    explicit TTemplateFiller(std::string templateText = {}) : text_(std::move(templateText)) {}

    const std::string& Text() const { return text_; }
    void SetText(std::string templateText) { text_ = std::move(templateText); }

    std::string Fill(const THandler& handler) const;
    // The same for any template text.
    static std::string Fill(std::string_view templateText, const THandler& handler);

private:
    std::string text_;
};

// ASCII case-insensitive comparison of tag names.
bool SameTagName(std::string_view a, std::string_view b);

// The page templates live in the resource folder's "Template/html/"; lines end in CR LF
// whatever the file has. A missing file raises EExportHTML::CannotFind.
std::string LoadPageTemplate(const std::string& name);
// Full path of a page template.
std::string PageTemplatePath(const std::string& name);

// Writes a filled page followed by one CR LF, invalid UTF-8 repaired, atomically; raises
// EExportHTML::CannotCreate when the file cannot be written.
void WriteHtmlPage(const std::string& fileName, std::string_view page);
// Writes a text file as it stands (already repaired), atomically; raises as above.
void WriteHtmlFile(const std::string& fileName, std::string_view bytes);

}  // namespace brindle
