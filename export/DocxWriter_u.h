#pragma once
// Turns the Word export's tagged text into a WordprocessingML document (.docx). The text is
// inserted as one paragraph, then six passes do to it what the Word template's macros did:
// break it into paragraphs at the line markers, build the tables, style the titles, turn
// the page-break and contents markers into a page break and a table-of-contents field, and
// drop the tags left over. SaveDocx zips the parts into an open TAtomicFile.
//
// Tagged text: logical lines each followed by "<--LINE_BREAK-->"; "<--NAME-->" opens and
// "</--NAME-->" closes a block; "<--PAGE_BREAK-->" and "<--TABLE_OF_CONTENTS-->" stand alone
// on their line; a table is its "<--TABLE_DESCR-->" line, then "<--TABLE-->", one line per
// row with the cells separated by TAB, and "</--TABLE-->". Text from a log never opens a
// tag: the writer puts "<--LT-->" for the "<" of any "<--" or "</--" in a text, and
// "<--TAB-->" for a TAB inside a table cell; DeleteTags turns them back.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SafeFile_u.h"

namespace brindle {

namespace WordTag {
constexpr std::string_view LineBreak = "<--LINE_BREAK-->";
constexpr std::string_view PageBreak = "<--PAGE_BREAK-->";
constexpr std::string_view TableOfContents = "<--TABLE_OF_CONTENTS-->";
constexpr std::string_view LessThan = "<--LT-->";
constexpr std::string_view Tab = "<--TAB-->";
// Block names, opened by Open(name) and closed by Close(name).
constexpr std::string_view ReportTitle = "RTITLE";
constexpr std::string_view ReportBuild = "RBUILD";
constexpr std::string_view ContentsTitle = "TCTITLE";
constexpr std::string_view SectionTitle = "STITLE";
constexpr std::string_view SectionComment = "SCOMMENT";
constexpr std::string_view TableDescriptor = "TABLE_DESCR";
constexpr std::string_view Table = "TABLE";

std::string Open(std::string_view name);  // "<--NAME-->"
std::string Close(std::string_view name);  // "</--NAME-->"
}  // namespace WordTag

// A text made safe for the tagged text: every "<" that starts "<--" or "</--" becomes
// "<--LT-->"; with InCell, every TAB becomes "<--TAB-->" too.
std::string EscapeTaggedText(std::string_view text, bool inCell);

// Paragraph styles of the template's styles.xml, by what they are used for.
enum class TWordStyle : std::uint8_t { Normal, Title, Build, ContentsTitle, Heading, Comment };
// The style id in styles.xml.
std::string_view WordStyleID(TWordStyle style);

struct TWordColumn {
    bool RightAligned = false;
    std::int32_t Width = 0;  // twips
};

// A table descriptor: two digits of column count, then per column "L" or "R" and its width
// in centimetres as "dd.dd". Nothing when it does not read exactly so.
std::optional<std::vector<TWordColumn>> ParseTableDescriptor(std::string_view descriptor);

struct TWordBlock {
    enum class TKind : std::uint8_t { Paragraph, PageBreak, Contents, Table };
    TKind Kind = TKind::Paragraph;
    TWordStyle Style = TWordStyle::Normal;
    std::string Text;  // a paragraph's text
    std::vector<TWordColumn> Columns;  // a table's columns
    std::vector<std::vector<std::string>> Rows;  // a table's rows, the caption row first
};

// The six passes, in the order they run.
enum class TWordPass : std::uint8_t {
    ReplaceLineBreak,
    ReplaceTables,
    ReplaceStyles,
    ReplacePageBreak,
    InsertTM,
    DeleteTags
};
constexpr std::array<TWordPass, 6> kWordPasses = {TWordPass::ReplaceLineBreak, TWordPass::ReplaceTables,
                                                  TWordPass::ReplaceStyles,    TWordPass::ReplacePageBreak,
                                                  TWordPass::InsertTM,         TWordPass::DeleteTags};

class TWordDocument {
public:
    // Appends the text as one paragraph of the normal style.
    void InsertText(std::string_view taggedText);
    void Run(TWordPass pass);

    const std::vector<TWordBlock>& Blocks() const { return blocks_; }

private:
    void ReplaceLineBreak();
    void ReplaceTables();
    void ReplaceStyles();
    void ReplacePageBreak();
    void InsertTM();
    void DeleteTags();

    std::vector<TWordBlock> blocks_;
};

struct TDocxProperties {
    std::string Title;  // also the page header
    std::string Author;
    std::string Company;
};

// The styles.xml beside the template file (the file itself need not exist); nothing when it
// cannot be read or is not a WordprocessingML styles part. The documents name the styles of
// WordStyleID and KVXTABLE, TOC1, Header and Footer; Word falls back to its own for any the
// part lacks.
std::optional<std::string> LoadWordTemplateStyles(const std::string& templateFile);

// The parts of the package by name, [Content_Types].xml first.
std::vector<std::pair<std::string, std::string>> DocxParts(const TWordDocument& document, std::string_view stylesXml,
                                                           const TDocxProperties& properties);

// Writes the zipped package into the open file (not committed); false on a write error.
bool SaveDocx(const TWordDocument& document, std::string_view stylesXml, const TDocxProperties& properties,
              TAtomicFile& file);

}  // namespace brindle
