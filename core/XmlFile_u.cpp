#include "core/XmlFile_u.h"

namespace brindle {
namespace {

class TStringWriter : public pugi::xml_writer {
public:
    explicit TStringWriter(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

}  // namespace

void AddXmlDeclaration(pugi::xml_document& doc) {
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
}

std::string XmlDocumentText(const pugi::xml_document& doc) {
    std::string raw;
    TStringWriter writer(raw);
    doc.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    // pugixml escapes CR in attributes but not in element text; every CR left is element text.
    std::string out;
    out.reserve(raw.size());
    for (const char c : raw) {
        if (c == '\r') {
            out += "&#13;";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace brindle
