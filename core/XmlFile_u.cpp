#include "core/XmlFile_u.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

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

bool ParseXmlFile(std::string_view bytes, pugi::xml_document& doc, std::string* why) {
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), kXmlFileParseOptions);
    if (!result)
        return FailWith(why, std::string(result.description()) + " at offset " + std::to_string(result.offset));
    if (!HasWellFormedTop(doc)) return FailWith(why, std::string(kXmlTopNotWhole));
    return true;
}

bool FailWith(std::string* why, std::string reason) {
    if (why) *why = std::move(reason);
    return false;
}

std::string SystemReason() { return errno == 0 ? std::string("Unknown error") : std::strerror(errno); }

bool HasWellFormedTop(const pugi::xml_document& doc) {
    int elements = 0;
    for (const pugi::xml_node& node : doc.children()) {
        switch (node.type()) {
            case pugi::node_element: ++elements; break;
            case pugi::node_pcdata:
                if (std::string_view(node.value()).find_first_not_of(" \t\r\n") != std::string_view::npos) return false;
                break;
            case pugi::node_cdata: return false;
            default: break;
        }
    }
    return elements <= 1;
}

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
