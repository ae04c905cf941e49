#include "core/XMLOptions_u.h"

#include <pugixml.hpp>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>

#include "core/SafeFile_u.h"
#include "core/TextRepair_u.h"
#include "core/XmlFile_u.h"

namespace brindle::xmloptions {

namespace {

// One child element of a setting group: a text or an integer field of Owner.
template <typename Owner>
struct TLeaf {
    const char* Name;
    std::string Owner::*Text = nullptr;
    std::int32_t Owner::*Integer = nullptr;
    bool Guarded = false;  // a missing integer reads as 0 instead of failing the load
};

template <typename Owner>
constexpr TLeaf<Owner> Text(const char* name, std::string Owner::*field) {
    return {name, field, nullptr, false};
}
template <typename Owner>
constexpr TLeaf<Owner> Integer(const char* name, std::int32_t Owner::*field, bool guarded = false) {
    return {name, nullptr, field, guarded};
}

// Element order is the file's order.
const std::array<TLeaf<TOptions>, 4> kDNSLookup = {
    Integer("NbThread", &TOptions::NbThread),
    Integer("CacheDays", &TOptions::CacheDays),
    Integer("Timeout", &TOptions::Timeout),
    Integer("AskBefore", &TOptions::AskBefore),
};

const std::array<TLeaf<TRecExportOptions>, 8> kExport = {
    Text("LanguageID", &TRecExportOptions::LanguageID),
    Text("MSWordAuthor", &TRecExportOptions::MSWordAuthor),
    Text("MSWordCompany", &TRecExportOptions::MSWordCompany),
    Integer("MSWordPageBreak", &TRecExportOptions::MSWordPageBreak),
    Integer("MSWordDescription", &TRecExportOptions::MSWordDescription),
    Integer("HTMLDescription", &TRecExportOptions::HTMLDescription),
    Integer("CSVSeparatorType", &TRecExportOptions::CSVSeparatorType),
    Text("CSVSeparatorChar", &TRecExportOptions::CSVSeparatorChar),
};

const std::array<TLeaf<TOptions>, 9> kMisc = {
    Integer("SessionLength", &TOptions::SessionLength),
    Integer("RemoveTxtQuestionRequestURL", &TOptions::RemoveTxtQuestionRequestURL, true),
    Integer("RemoveTxtQuestionReferrerURL", &TOptions::RemoveTxtQuestionReferrerURL, true),
    Integer("RemoveTxtSharpRequestURL", &TOptions::RemoveTxtSharpRequestURL, true),
    Integer("RemoveTxtSharpReferrerURL", &TOptions::RemoveTxtSharpReferrerURL, true),
    Integer("ConvertLowerCaseRequestURL", &TOptions::ConvertLowerCaseRequestURL, true),
    Integer("ConvertLowerCaseReferrerURL", &TOptions::ConvertLowerCaseReferrerURL, true),
    Integer("ShowEmptyReports", &TOptions::ShowEmptyReports, true),
    Integer("ShowGridLines", &TOptions::ShowGridLines, true),
};

// Text attributes of a list item, in writing order.
template <typename TRec>
struct TAttr {
    const char* Name;
    std::string TRec::*Field;
};

const std::array<TAttr<TRecUAType>, 2> kUAAttrs = {{{"ID", &TRecUAType::ID}, {"Name", &TRecUAType::Name}}};
const std::array<TAttr<TRecSEType>, 5> kSEAttrs = {{{"ID", &TRecSEType::ID},
                                                    {"Query1", &TRecSEType::Query1},
                                                    {"Query2", &TRecSEType::Query2},
                                                    {"Query3", &TRecSEType::Query3},
                                                    {"Name", &TRecSEType::Name}}};

// ---- reading ----

// A decimal integer, blanks around it allowed; nothing for an empty text, a text that is
// not a number or one outside 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (magnitude > (negative ? 0x80000000ULL : 0x7FFFFFFFULL)) return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

// The character data of a leaf element; an absent one reads as empty. False when the
// element holds elements.
bool ReadLeafText(pugi::xml_node parent, const char* name, std::string& value) {
    value.clear();
    for (pugi::xml_node child : parent.child(name).children()) {
        if (child.type() == pugi::node_element) return false;
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) value += child.value();
    }
    return true;
}

template <typename Owner, std::size_t N>
bool ReadGroup(pugi::xml_node group, const std::array<TLeaf<Owner>, N>& leaves, Owner& owner) {
    std::string text;
    for (const TLeaf<Owner>& leaf : leaves) {
        if (!ReadLeafText(group, leaf.Name, text)) return false;
        if (leaf.Text) {
            owner.*leaf.Text = text;
            continue;
        }
        const std::optional<std::int32_t> number = ParseInteger(text);
        if (!number && !leaf.Guarded) return false;
        owner.*leaf.Integer = number.value_or(0);
    }
    return true;
}

template <typename TList, typename TRec, std::size_t N>
void ReadTextList(pugi::xml_node list, const char* itemName, const std::array<TAttr<TRec>, N>& attrs, TList& records) {
    records.Clear();
    for (pugi::xml_node item : list.children(itemName)) {
        TRec rec;
        for (const TAttr<TRec>& attr : attrs) rec.*attr.Field = item.attribute(attr.Name).value();
        records.Add(std::move(rec));
    }
}

bool ReadFiles(pugi::xml_node list, TLstFileExt& files) {
    files.Clear();
    for (pugi::xml_node item : list.children("File")) {
        const std::optional<std::int32_t> kind = ParseInteger(item.attribute("FileType").value());
        if (!kind) return false;
        files.Add({item.attribute("Ext").value(), static_cast<std::uint8_t>(*kind & 0xFF)});
    }
    return true;
}

// ---- writing ----

// Text fit for the document; Buffer keeps the bytes alive while pugixml copies them.
const char* XmlText(std::string& buffer, std::string_view text) {
    buffer.clear();
    AppendRepairedXmlText(buffer, text);
    return buffer.c_str();
}

template <typename Owner, std::size_t N>
void WriteGroup(pugi::xml_node parent, const char* groupName, const std::array<TLeaf<Owner>, N>& leaves,
                const Owner& owner, std::string& buffer) {
    pugi::xml_node group = parent.append_child(groupName);
    for (const TLeaf<Owner>& leaf : leaves) {
        pugi::xml_node node = group.append_child(leaf.Name);
        if (leaf.Integer) {
            node.text().set(owner.*leaf.Integer);
        } else if (!(owner.*leaf.Text).empty()) {
            node.text().set(XmlText(buffer, owner.*leaf.Text));
        }
    }
}

template <typename TList, typename TRec, std::size_t N>
void WriteTextList(pugi::xml_node parent, const char* listName, const char* itemName,
                   const std::array<TAttr<TRec>, N>& attrs, const TList& records, std::string& buffer) {
    pugi::xml_node list = parent.append_child(listName);
    for (const TRec& rec : records) {
        pugi::xml_node item = list.append_child(itemName);
        for (const TAttr<TRec>& attr : attrs)
            item.append_attribute(attr.Name).set_value(XmlText(buffer, rec.*attr.Field));
    }
}

}  // namespace

bool ReadOptionsXml(std::string_view bytes, TOptions& options, std::string* why) {
    pugi::xml_document doc;
    if (!ParseXmlFile(bytes, doc, why)) return false;
    const pugi::xml_node root = doc.document_element();  // whatever its name
    if (!root) return FailWith(why, "No root element");

    TOptions read = options;
    read.Description = root.attribute("Description").value();
    read.Ver = root.attribute("Ver").value();
    ReadTextList(root.child("OSs"), "OS", kUAAttrs, read.OSs);
    ReadTextList(root.child("Browsers"), "Browser", kUAAttrs, read.Browsers);
    ReadTextList(root.child("Spiders"), "Spider", kUAAttrs, read.Spiders);
    ReadTextList(root.child("SEs"), "SE", kSEAttrs, read.SEs);
    if (!ReadFiles(root.child("Files"), read.Files)) return FailWith(why, "The element 'Files' cannot be read");
    if (!ReadGroup(root.child("DNSLookup"), kDNSLookup, read))
        return FailWith(why, "The element 'DNSLookup' cannot be read");
    if (!ReadGroup(root.child("Export"), kExport, read.Export))
        return FailWith(why, "The element 'Export' cannot be read");
    if (!ReadGroup(root.child("Misc"), kMisc, read)) return FailWith(why, "The element 'Misc' cannot be read");
    options = std::move(read);
    return true;
}

std::string WriteOptionsXml(const TOptions& options) {
    pugi::xml_document doc;
    AddXmlDeclaration(doc);

    std::string buffer;
    pugi::xml_node root = doc.append_child("DATA");
    root.append_attribute("Description").set_value(XmlText(buffer, kOptionsDescription));
    root.append_attribute("Ver").set_value(XmlText(buffer, kOptionsVersion));
    WriteTextList(root, "OSs", "OS", kUAAttrs, options.OSs, buffer);
    WriteTextList(root, "Browsers", "Browser", kUAAttrs, options.Browsers, buffer);
    WriteTextList(root, "Spiders", "Spider", kUAAttrs, options.Spiders, buffer);
    WriteTextList(root, "SEs", "SE", kSEAttrs, options.SEs, buffer);
    pugi::xml_node files = root.append_child("Files");
    for (const TRecFileExt& rec : options.Files) {
        pugi::xml_node item = files.append_child("File");
        item.append_attribute("Ext").set_value(XmlText(buffer, rec.Ext));
        item.append_attribute("FileType").set_value(static_cast<unsigned>(rec.FileType));
    }
    WriteGroup(root, "DNSLookup", kDNSLookup, options, buffer);
    WriteGroup(root, "Export", kExport, options.Export, buffer);
    WriteGroup(root, "Misc", kMisc, options, buffer);

    return XmlDocumentText(doc);
}

bool LoadOptionsFile(const std::string& fileName, TOptions& options, std::string* why) {
    try {
        std::string bytes;
        errno = 0;
        if (!ReadWholeFile(fileName, bytes)) return FailWith(why, SystemReason());
        return ReadOptionsXml(bytes, options, why);
    } catch (const std::exception& e) {
        return FailWith(why, e.what());
    }
}

bool SaveOptionsFile(const std::string& fileName, const TOptions& options, std::string* why) {
    try {
        TAtomicFile file;
        if (file.Open(fileName) && file.Write(WriteOptionsXml(options)) && file.Commit()) return true;
        return FailWith(why, file.ErrorText());
    } catch (const std::exception& e) {
        return FailWith(why, e.what());
    }
}

}  // namespace brindle::xmloptions
