#pragma once
// Reads a .docx back for the tests: the zip members through libarchive's reader, and the
// body of word/document.xml as paragraphs (with their style) and tables of cell texts.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::test {

// Every member of the zip by name; empty when the bytes are not a readable zip.
inline std::map<std::string, std::string> UnzipMembers(const std::string& bytes) {
    std::map<std::string, std::string> members;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, bytes.data(), bytes.size()) != ARCHIVE_OK) {
        archive_read_free(a);
        return {};
    }
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK) {
        std::string data;
        char buffer[8192];
        la_ssize_t got = 0;
        while ((got = archive_read_data(a, buffer, sizeof buffer)) > 0)
            data.append(buffer, static_cast<std::size_t>(got));
        if (got < 0) {
            members.clear();
            break;
        }
        members[archive_entry_pathname(entry)] = std::move(data);
    }
    if (status != ARCHIVE_EOF) members.clear();
    archive_read_free(a);
    return members;
}

// The text of a paragraph as the reader sees it: TAB for w:tab, LF for w:br (page breaks
// as "\f").
inline std::string ParagraphText(const pugi::xml_node& p) {
    struct Walker : pugi::xml_tree_walker {
        std::string Text;
        bool for_each(pugi::xml_node& node) override {
            const std::string_view name = node.name();
            if (name == "w:t") {
                Text += node.text().get();
            } else if (name == "w:tab") {
                Text += '\t';
            } else if (name == "w:br") {
                Text += std::string_view(node.attribute("w:type").value()) == "page" ? '\f' : '\n';
            }
            return true;
        }
    } walker;
    pugi::xml_node copy = p;
    copy.traverse(walker);
    return walker.Text;
}

struct DocxParagraph {
    std::string Style;  // pStyle, empty for the default style
    std::string Text;
};

using DocxTable = std::vector<std::vector<std::string>>;

struct DocxBody {
    std::vector<DocxParagraph> Paragraphs;  // outside tables, in order
    std::vector<DocxTable> Tables;

    std::vector<std::string> TextsOfStyle(std::string_view style) const {
        std::vector<std::string> texts;
        for (const DocxParagraph& p : Paragraphs)
            if (p.Style == style) texts.push_back(p.Text);
        return texts;
    }
};

inline DocxBody ReadDocxBody(const std::string& documentXml) {
    DocxBody body;
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(documentXml.data(), documentXml.size()));
    for (const pugi::xml_node& child : doc.child("w:document").child("w:body").children()) {
        const std::string_view name = child.name();
        if (name == "w:p") {
            body.Paragraphs.push_back(
                {child.child("w:pPr").child("w:pStyle").attribute("w:val").value(), ParagraphText(child)});
        } else if (name == "w:tbl") {
            DocxTable table;
            for (const pugi::xml_node& tr : child.children("w:tr")) {
                std::vector<std::string> cells;
                for (const pugi::xml_node& tc : tr.children("w:tc")) cells.push_back(ParagraphText(tc));
                table.push_back(cells);
            }
            body.Tables.push_back(table);
        }
    }
    return body;
}

}  // namespace brindle::test
