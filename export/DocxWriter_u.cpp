#include "export/DocxWriter_u.h"

#include <archive.h>
#include <archive_entry.h>
#include <pugixml.hpp>

#include <filesystem>
#include <memory>

#include "core/TextRepair_u.h"

namespace brindle {

namespace WordTag {
std::string Open(std::string_view name) { return "<--" + std::string(name) + "-->"; }
std::string Close(std::string_view name) { return "</--" + std::string(name) + "-->"; }
}  // namespace WordTag

namespace {

constexpr std::string_view kTagStart = "<--";
constexpr std::string_view kCloseTagStart = "</--";
constexpr std::string_view kTagEnd = "-->";

struct TStyleTag {
    std::string_view Name;
    TWordStyle Style;
};

constexpr TStyleTag kStyleTags[] = {
    {WordTag::ReportTitle, TWordStyle::Title},           {WordTag::ReportBuild, TWordStyle::Build},
    {WordTag::ContentsTitle, TWordStyle::ContentsTitle}, {WordTag::SectionTitle, TWordStyle::Heading},
    {WordTag::SectionComment, TWordStyle::Comment},
};

// Every tag name DeleteTags removes; the two escapes are decoded instead.
constexpr std::string_view kTagNames[] = {
    "LINE_BREAK",
    "PAGE_BREAK",
    "TABLE_OF_CONTENTS",
    WordTag::ReportTitle,
    WordTag::ReportBuild,
    WordTag::ContentsTitle,
    WordTag::SectionTitle,
    WordTag::SectionComment,
    WordTag::TableDescriptor,
    WordTag::Table,
};

// Width of the text column of an A4 page with 2.5 cm margins.
constexpr std::int32_t kPageWidth = 11906;
constexpr std::int32_t kPageHeight = 16838;
constexpr std::int32_t kMargin = 1418;
constexpr std::int32_t kTextWidth = kPageWidth - 2 * kMargin;

bool EraseFirst(std::string& text, std::string_view what) {
    const std::size_t pos = text.find(what);
    if (pos == std::string::npos) return false;
    text.erase(pos, what.size());
    return true;
}

// One left-to-right pass, so that decoded text is never read as a tag again.
std::string RemoveTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        if (rest.starts_with(WordTag::LessThan)) {
            out += '<';
            pos += WordTag::LessThan.size();
            continue;
        }
        if (rest.starts_with(WordTag::Tab)) {
            out += '\t';
            pos += WordTag::Tab.size();
            continue;
        }
        std::size_t skip = 0;
        const std::size_t start = rest.starts_with(kCloseTagStart) ? kCloseTagStart.size()
                                  : rest.starts_with(kTagStart)    ? kTagStart.size()
                                                                   : 0;
        if (start != 0) {
            for (const std::string_view name : kTagNames) {
                const std::string_view after = rest.substr(start);
                if (after.starts_with(name) && after.substr(name.size()).starts_with(kTagEnd)) {
                    skip = start + name.size() + kTagEnd.size();
                    break;
                }
            }
        }
        if (skip != 0) {
            pos += skip;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) break;
        pieces.emplace_back(text.substr(start, pos - start));
        start = pos + separator.size();
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

bool IsParagraph(const TWordBlock& block) { return block.Kind == TWordBlock::TKind::Paragraph; }

TWordBlock Paragraph(std::string text, TWordStyle style = TWordStyle::Normal) {
    TWordBlock block;
    block.Style = style;
    block.Text = std::move(text);
    return block;
}

// Columns for a table whose descriptor is missing or broken: equal and left-aligned.
std::vector<TWordColumn> EvenColumns(std::size_t count) {
    const std::size_t n = count == 0 ? 1 : count;
    return std::vector<TWordColumn>(n, TWordColumn{false, static_cast<std::int32_t>(kTextWidth / n)});
}

// Every row gets exactly one cell per column; surplus cells stay in the last one.
void FitRow(std::vector<std::string>& row, std::size_t columns) {
    while (row.size() > columns) {
        row[row.size() - 2] += '\t' + row.back();
        row.pop_back();
    }
    row.resize(columns);
}

// ---- XML ----

constexpr const char* kMainNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kHeaderRelID = "rIdHeader1";
constexpr const char* kFooterRelID = "rIdFooter1";

std::string SaveXml(const pugi::xml_document& doc) {
    struct TStringWriter : pugi::xml_writer {
        std::string Text;
        void write(const void* data, std::size_t size) override { Text.append(static_cast<const char*>(data), size); }
    } writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n" + writer.Text;
}

pugi::xml_node Child(pugi::xml_node parent, const char* name) { return parent.append_child(name); }

void SetVal(pugi::xml_node node, const char* attribute, std::string_view value) {
    node.append_attribute(attribute).set_value(std::string(value).c_str());
}

pugi::xml_node ChildVal(pugi::xml_node parent, const char* name, std::string_view value) {
    pugi::xml_node node = Child(parent, name);
    SetVal(node, "w:val", value);
    return node;
}

void AddTextPiece(pugi::xml_node run, std::string_view piece) {
    if (piece.empty()) return;
    pugi::xml_node t = Child(run, "w:t");
    if (piece.front() == ' ' || piece.back() == ' ' || piece.find("  ") != std::string_view::npos)
        SetVal(t, "xml:space", "preserve");
    t.text().set(std::string(piece).c_str());
}

// One run of the text; its line breaks become breaks and its TABs tabs. Text from a log is
// repaired on the way.
void AddRun(pugi::xml_node paragraph, std::string_view text, bool bold = false) {
    if (text.empty()) return;
    pugi::xml_node run = Child(paragraph, "w:r");
    if (bold) Child(Child(run, "w:rPr"), "w:b");
    const std::string repaired = RepairOutputText(text);
    std::size_t start = 0;
    for (std::size_t i = 0; i < repaired.size(); ++i) {
        const char c = repaired[i];
        if (c != '\r' && c != '\n' && c != '\t') continue;
        AddTextPiece(run, std::string_view(repaired).substr(start, i - start));
        if (c == '\t') {
            Child(run, "w:tab");
        } else {
            Child(run, "w:br");
            if (c == '\r' && i + 1 < repaired.size() && repaired[i + 1] == '\n') ++i;
        }
        start = i + 1;
    }
    AddTextPiece(run, std::string_view(repaired).substr(start));
}

pugi::xml_node AddParagraph(pugi::xml_node parent, TWordStyle style, std::string_view justification = {}) {
    pugi::xml_node p = Child(parent, "w:p");
    if (style == TWordStyle::Normal && justification.empty()) return p;
    pugi::xml_node pPr = Child(p, "w:pPr");
    if (style != TWordStyle::Normal) ChildVal(pPr, "w:pStyle", WordStyleID(style));
    if (!justification.empty()) ChildVal(pPr, "w:jc", justification);
    return p;
}

void AddFieldChar(pugi::xml_node paragraph, const char* type) {
    SetVal(Child(Child(paragraph, "w:r"), "w:fldChar"), "w:fldCharType", type);
}

std::string BookmarkName(std::size_t heading) { return "_Toc" + std::to_string(100000 + heading); }

// The table-of-contents field, its result already filled with the report titles (linked to
// their headings) so that it reads well before Word updates it with page numbers.
void AddContents(pugi::xml_node body, const std::vector<std::string>& headings) {
    pugi::xml_node p = Child(body, "w:p");
    ChildVal(Child(p, "w:pPr"), "w:pStyle", "TOC1");
    AddFieldChar(p, "begin");
    pugi::xml_node instr = Child(Child(p, "w:r"), "w:instrText");
    SetVal(instr, "xml:space", "preserve");
    instr.text().set(" TOC \\o \"1-1\" \\h \\z \\u ");
    AddFieldChar(p, "separate");
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0) {
            p = Child(body, "w:p");
            ChildVal(Child(p, "w:pPr"), "w:pStyle", "TOC1");
        }
        pugi::xml_node link = Child(p, "w:hyperlink");
        SetVal(link, "w:anchor", BookmarkName(i));
        SetVal(link, "w:history", "1");
        AddRun(link, headings[i]);
    }
    AddFieldChar(p, "end");
}

void AddHeading(pugi::xml_node body, const TWordBlock& block, std::size_t index) {
    pugi::xml_node p = AddParagraph(body, block.Style);
    pugi::xml_node start = Child(p, "w:bookmarkStart");
    SetVal(start, "w:id", std::to_string(index));
    SetVal(start, "w:name", BookmarkName(index));
    AddRun(p, block.Text);
    SetVal(Child(p, "w:bookmarkEnd"), "w:id", std::to_string(index));
}

void AddCellWidth(pugi::xml_node tcPr, std::int32_t width) {
    pugi::xml_node w = Child(tcPr, "w:tcW");
    SetVal(w, "w:w", std::to_string(width));
    SetVal(w, "w:type", "dxa");
}

void AddTable(pugi::xml_node body, const TWordBlock& block) {
    pugi::xml_node tbl = Child(body, "w:tbl");
    pugi::xml_node tblPr = Child(tbl, "w:tblPr");
    ChildVal(tblPr, "w:tblStyle", "KVXTABLE");
    std::int32_t total = 0;
    for (const TWordColumn& column : block.Columns) total += column.Width;
    pugi::xml_node tblW = Child(tblPr, "w:tblW");
    SetVal(tblW, "w:w", std::to_string(total));
    SetVal(tblW, "w:type", "dxa");
    SetVal(Child(tblPr, "w:tblLayout"), "w:type", "fixed");
    pugi::xml_node look = ChildVal(tblPr, "w:tblLook", "04A0");
    SetVal(look, "w:firstRow", "1");
    SetVal(look, "w:lastRow", "0");
    SetVal(look, "w:firstColumn", "0");
    SetVal(look, "w:lastColumn", "0");
    SetVal(look, "w:noHBand", "1");
    SetVal(look, "w:noVBand", "1");
    pugi::xml_node grid = Child(tbl, "w:tblGrid");
    for (const TWordColumn& column : block.Columns)
        SetVal(Child(grid, "w:gridCol"), "w:w", std::to_string(column.Width));

    bool header = true;
    for (const std::vector<std::string>& row : block.Rows) {
        pugi::xml_node tr = Child(tbl, "w:tr");
        if (header) {
            pugi::xml_node trPr = Child(tr, "w:trPr");
            Child(trPr, "w:cantSplit");
            Child(trPr, "w:tblHeader");
        }
        for (std::size_t c = 0; c < block.Columns.size(); ++c) {
            pugi::xml_node tc = Child(tr, "w:tc");
            pugi::xml_node tcPr = Child(tc, "w:tcPr");
            AddCellWidth(tcPr, block.Columns[c].Width);
            if (header) {
                pugi::xml_node shd = ChildVal(tcPr, "w:shd", "clear");
                SetVal(shd, "w:color", "auto");
                SetVal(shd, "w:fill", "D9D9D9");
            }
            pugi::xml_node p = AddParagraph(tc, TWordStyle::Normal, block.Columns[c].RightAligned ? "right" : "");
            AddRun(p, c < row.size() ? std::string_view(row[c]) : std::string_view(), header);
        }
        header = false;
    }
}

pugi::xml_node PartRoot(pugi::xml_document& doc, const char* name) {
    pugi::xml_node root = doc.append_child(name);
    SetVal(root, "xmlns:w", kMainNs);
    SetVal(root, "xmlns:r", kRelNs);
    return root;
}

std::string DocumentXml(const TWordDocument& document) {
    std::vector<std::string> headings;
    for (const TWordBlock& block : document.Blocks())
        if (IsParagraph(block) && block.Style == TWordStyle::Heading) headings.push_back(block.Text);

    pugi::xml_document doc;
    pugi::xml_node body = Child(PartRoot(doc, "w:document"), "w:body");
    std::size_t heading = 0;
    for (const TWordBlock& block : document.Blocks()) {
        switch (block.Kind) {
            case TWordBlock::TKind::Paragraph:
                if (block.Style == TWordStyle::Heading) {
                    AddHeading(body, block, heading++);
                } else {
                    AddRun(AddParagraph(body, block.Style), block.Text);
                }
                break;
            case TWordBlock::TKind::PageBreak:
                SetVal(Child(Child(Child(body, "w:p"), "w:r"), "w:br"), "w:type", "page");
                break;
            case TWordBlock::TKind::Contents: AddContents(body, headings); break;
            case TWordBlock::TKind::Table: AddTable(body, block); break;
        }
    }
    // A table must never be the last thing before the section properties.
    if (document.Blocks().empty() || !IsParagraph(document.Blocks().back())) Child(body, "w:p");

    pugi::xml_node sectPr = Child(body, "w:sectPr");
    pugi::xml_node headerRef = Child(sectPr, "w:headerReference");
    SetVal(headerRef, "w:type", "default");
    SetVal(headerRef, "r:id", kHeaderRelID);
    pugi::xml_node footerRef = Child(sectPr, "w:footerReference");
    SetVal(footerRef, "w:type", "default");
    SetVal(footerRef, "r:id", kFooterRelID);
    pugi::xml_node pgSz = Child(sectPr, "w:pgSz");
    SetVal(pgSz, "w:w", std::to_string(kPageWidth));
    SetVal(pgSz, "w:h", std::to_string(kPageHeight));
    pugi::xml_node pgMar = Child(sectPr, "w:pgMar");
    for (const char* side : {"w:top", "w:right", "w:bottom", "w:left"}) SetVal(pgMar, side, std::to_string(kMargin));
    SetVal(pgMar, "w:header", "709");
    SetVal(pgMar, "w:footer", "709");
    SetVal(pgMar, "w:gutter", "0");
    Child(sectPr, "w:titlePg");  // no header or footer on the title page
    return SaveXml(doc);
}

std::string HeaderXml(std::string_view title) {
    pugi::xml_document doc;
    pugi::xml_node p = Child(PartRoot(doc, "w:hdr"), "w:p");
    ChildVal(Child(p, "w:pPr"), "w:pStyle", "Header");
    AddRun(p, title);
    return SaveXml(doc);
}

std::string FooterXml() {
    pugi::xml_document doc;
    pugi::xml_node p = Child(PartRoot(doc, "w:ftr"), "w:p");
    pugi::xml_node pPr = Child(p, "w:pPr");
    ChildVal(pPr, "w:pStyle", "Footer");
    ChildVal(pPr, "w:jc", "center");
    pugi::xml_node field = Child(p, "w:fldSimple");
    SetVal(field, "w:instr", " PAGE ");
    AddRun(field, "1");
    return SaveXml(doc);
}

std::string CoreXml(const TDocxProperties& properties) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("cp:coreProperties");
    SetVal(root, "xmlns:cp", "http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    SetVal(root, "xmlns:dc", "http://purl.org/dc/elements/1.1/");
    SetVal(root, "xmlns:dcterms", "http://purl.org/dc/terms/");
    SetVal(root, "xmlns:dcmitype", "http://purl.org/dc/dcmitype/");
    SetVal(root, "xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    Child(root, "dc:title").text().set(RepairXmlText(properties.Title).c_str());
    Child(root, "dc:creator").text().set(RepairXmlText(properties.Author).c_str());
    return SaveXml(doc);
}

std::string AppXml(const TDocxProperties& properties) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Properties");
    SetVal(root, "xmlns", "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    Child(root, "Application").text().set("Brindle Analyzer");
    Child(root, "Company").text().set(RepairXmlText(properties.Company).c_str());
    return SaveXml(doc);
}

constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

constexpr const char* kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "<Override PartName=\"/word/settings.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
    "<Override PartName=\"/word/header1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
    "<Override PartName=\"/word/footer1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\" "
    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/docProps/app.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
    "</Types>";

constexpr const char* kPackageRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
    "Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" "
    "Target=\"docProps/app.xml\"/>"
    "</Relationships>";

constexpr const char* kDocumentRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rIdStyles1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
    "<Relationship Id=\"rIdSettings1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" Target=\"settings.xml\"/>"
    "<Relationship Id=\"rIdHeader1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>"
    "<Relationship Id=\"rIdFooter1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" Target=\"footer1.xml\"/>"
    "</Relationships>";

// Word refreshes the table of contents with page numbers when it opens the document. The
// schema fixes the order of the settings.
constexpr const char* kSettings =
    "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:defaultTabStop w:val=\"709\"/><w:updateFields w:val=\"true\"/>"
    "</w:settings>";

// ---- zip ----

struct TArchiveDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct TEntryDeleter {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

la_ssize_t WriteToFile(archive*, void* client, const void* buffer, std::size_t length) {
    auto* file = static_cast<TAtomicFile*>(client);
    if (!file->Write(std::string_view(static_cast<const char*>(buffer), length))) return -1;
    return static_cast<la_ssize_t>(length);
}

}  // namespace

std::string EscapeTaggedText(std::string_view text, bool inCell) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const std::string_view rest = text.substr(i + 1);
        if (c == '<' && (rest.starts_with("--") || rest.starts_with("/--"))) {
            out += WordTag::LessThan;
        } else if (c == '\t' && inCell) {
            out += WordTag::Tab;
        } else {
            out += c;
        }
    }
    return out;
}

std::string_view WordStyleID(TWordStyle style) {
    switch (style) {
        case TWordStyle::Normal: return "KVXNORMAL";
        case TWordStyle::Title: return "KVXTITLE";
        case TWordStyle::Build: return "KVXBUILD";
        case TWordStyle::ContentsTitle: return "KVXTOCTITLE";
        case TWordStyle::Heading: return "Heading1";
        case TWordStyle::Comment: return "KVXCOMMENT";
    }
    return "KVXNORMAL";
}

std::optional<std::vector<TWordColumn>> ParseTableDescriptor(std::string_view descriptor) {
    const auto digit = [&](std::size_t pos) -> int {
        return pos < descriptor.size() && descriptor[pos] >= '0' && descriptor[pos] <= '9' ? descriptor[pos] - '0' : -1;
    };
    const auto number2 = [&](std::size_t pos) {
        const int high = digit(pos);
        const int low = digit(pos + 1);
        return high < 0 || low < 0 ? -1 : high * 10 + low;
    };
    constexpr std::size_t kColumnSize = 6;  // "L03.00"
    const int count = number2(0);
    if (count <= 0 || descriptor.size() != 2 + kColumnSize * static_cast<std::size_t>(count)) return std::nullopt;
    std::vector<TWordColumn> columns;
    for (int i = 0; i < count; ++i) {
        const std::size_t pos = 2 + kColumnSize * static_cast<std::size_t>(i);
        const char align = descriptor[pos];
        const int whole = number2(pos + 1);
        const int hundredths = number2(pos + 4);
        if ((align != 'L' && align != 'R') || whole < 0 || descriptor[pos + 3] != '.' || hundredths < 0)
            return std::nullopt;
        // Centimetres to twips, rounded: 1 cm = 1440 / 2.54 twips.
        const std::int32_t cm100 = whole * 100 + hundredths;
        columns.push_back({align == 'R', static_cast<std::int32_t>((cm100 * 1440 * 2 + 254) / (254 * 2))});
    }
    return columns;
}

void TWordDocument::InsertText(std::string_view taggedText) { blocks_.push_back(Paragraph(std::string(taggedText))); }

void TWordDocument::Run(TWordPass pass) {
    switch (pass) {
        case TWordPass::ReplaceLineBreak: ReplaceLineBreak(); break;
        case TWordPass::ReplaceTables: ReplaceTables(); break;
        case TWordPass::ReplaceStyles: ReplaceStyles(); break;
        case TWordPass::ReplacePageBreak: ReplacePageBreak(); break;
        case TWordPass::InsertTM: InsertTM(); break;
        case TWordPass::DeleteTags: DeleteTags(); break;
    }
}

void TWordDocument::ReplaceLineBreak() {
    std::vector<TWordBlock> blocks;
    for (TWordBlock& block : blocks_) {
        if (!IsParagraph(block)) {
            blocks.push_back(std::move(block));
            continue;
        }
        std::vector<std::string> lines = SplitAt(block.Text, WordTag::LineBreak);
        // The marker ends a line: nothing follows the last one.
        if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
        for (std::string& line : lines) blocks.push_back(Paragraph(std::move(line), block.Style));
    }
    blocks_ = std::move(blocks);
}

void TWordDocument::ReplaceTables() {
    const std::string open = WordTag::Open(WordTag::Table);
    const std::string close = WordTag::Close(WordTag::Table);
    const std::string descrOpen = WordTag::Open(WordTag::TableDescriptor);
    const std::string descrClose = WordTag::Close(WordTag::TableDescriptor);
    const auto isLine = [](const TWordBlock& block, std::string_view text) {
        return IsParagraph(block) && block.Text == text;
    };

    std::vector<TWordBlock> blocks;
    std::size_t i = 0;
    while (i < blocks_.size()) {
        std::size_t end = i + 1;
        if (isLine(blocks_[i], open))
            while (end < blocks_.size() && !isLine(blocks_[end], close)) ++end;
        if (!isLine(blocks_[i], open) || end >= blocks_.size()) {
            blocks.push_back(std::move(blocks_[i++]));
            continue;
        }
        std::optional<std::vector<TWordColumn>> columns;
        if (!blocks.empty() && IsParagraph(blocks.back()) && blocks.back().Text.starts_with(descrOpen) &&
            blocks.back().Text.ends_with(descrClose)) {
            const std::string& text = blocks.back().Text;
            columns = ParseTableDescriptor(
                std::string_view(text).substr(descrOpen.size(), text.size() - descrOpen.size() - descrClose.size()));
            blocks.pop_back();
        }
        TWordBlock table;
        table.Kind = TWordBlock::TKind::Table;
        std::size_t widest = 0;
        for (std::size_t row = i + 1; row < end; ++row) {
            table.Rows.push_back(SplitAt(blocks_[row].Text, "\t"));
            widest = std::max(widest, table.Rows.back().size());
        }
        table.Columns = columns ? std::move(*columns) : EvenColumns(widest);
        for (std::vector<std::string>& row : table.Rows) FitRow(row, table.Columns.size());
        if (!table.Rows.empty()) blocks.push_back(std::move(table));
        blocks.push_back(Paragraph({}));  // the closing line stays as a gap after the table
        i = end + 1;
    }
    blocks_ = std::move(blocks);
}

void TWordDocument::ReplaceStyles() {
    const TStyleTag* active = nullptr;
    for (TWordBlock& block : blocks_) {
        if (!IsParagraph(block)) continue;
        const TStyleTag* style = active;
        if (!active) {
            for (const TStyleTag& tag : kStyleTags) {
                if (EraseFirst(block.Text, WordTag::Open(tag.Name))) {
                    style = active = &tag;
                    break;
                }
            }
        }
        if (active && EraseFirst(block.Text, WordTag::Close(active->Name))) active = nullptr;
        if (style) block.Style = style->Style;
    }
}

void TWordDocument::ReplacePageBreak() {
    for (TWordBlock& block : blocks_) {
        if (IsParagraph(block) && block.Text == WordTag::PageBreak) {
            block.Kind = TWordBlock::TKind::PageBreak;
            block.Text.clear();
        }
    }
}

void TWordDocument::InsertTM() {
    for (TWordBlock& block : blocks_) {
        if (IsParagraph(block) && block.Text == WordTag::TableOfContents) {
            block.Kind = TWordBlock::TKind::Contents;
            block.Text.clear();
        }
    }
}

void TWordDocument::DeleteTags() {
    for (TWordBlock& block : blocks_) {
        block.Text = RemoveTags(block.Text);
        for (std::vector<std::string>& row : block.Rows)
            for (std::string& cell : row) cell = RemoveTags(cell);
    }
}

std::optional<std::string> LoadWordTemplateStyles(const std::string& templateFile) {
    const std::string path = (std::filesystem::path(templateFile).parent_path() / "styles.xml").string();
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return std::nullopt;
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.data(), bytes.size())) return std::nullopt;
    const pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "w:styles" || std::string_view(root.attribute("xmlns:w").value()) != kMainNs)
        return std::nullopt;
    return bytes;
}

std::vector<std::pair<std::string, std::string>> DocxParts(const TWordDocument& document, std::string_view stylesXml,
                                                           const TDocxProperties& properties) {
    const std::string declaration = kXmlDeclaration;
    return {
        {"[Content_Types].xml", declaration + kContentTypes},
        {"_rels/.rels", declaration + kPackageRels},
        {"word/document.xml", DocumentXml(document)},
        {"word/_rels/document.xml.rels", declaration + kDocumentRels},
        {"word/styles.xml", std::string(stylesXml)},
        {"word/settings.xml", declaration + kSettings},
        {"word/header1.xml", HeaderXml(properties.Title)},
        {"word/footer1.xml", FooterXml()},
        {"docProps/core.xml", CoreXml(properties)},
        {"docProps/app.xml", AppXml(properties)},
    };
}

bool SaveDocx(const TWordDocument& document, std::string_view stylesXml, const TDocxProperties& properties,
              TAtomicFile& file) {
    const std::unique_ptr<archive, TArchiveDeleter> zip(archive_write_new());
    if (!zip) return false;
    archive* a = zip.get();
    // No blocking: a zip padded with zeros after its end record is not a zip.
    if (archive_write_set_format_zip(a) != ARCHIVE_OK || archive_write_zip_set_compression_deflate(a) != ARCHIVE_OK ||
        archive_write_set_bytes_per_block(a, 0) != ARCHIVE_OK ||
        archive_write_open(a, &file, nullptr, WriteToFile, nullptr) != ARCHIVE_OK)
        return false;
    for (const auto& [name, bytes] : DocxParts(document, stylesXml, properties)) {
        const std::unique_ptr<archive_entry, TEntryDeleter> entry(archive_entry_new());
        archive_entry_set_pathname(entry.get(), name.c_str());
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        if (archive_write_header(a, entry.get()) != ARCHIVE_OK) return false;
        if (archive_write_data(a, bytes.data(), bytes.size()) != static_cast<la_ssize_t>(bytes.size())) return false;
    }
    return archive_write_close(a) == ARCHIVE_OK;
}

}  // namespace brindle
