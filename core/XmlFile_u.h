#pragma once
// The one way the program writes its XML files: UTF-8, version 1.0, every element on its own
// line, two spaces of indent per level.
#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace brindle {

// Parse options of the program's own files: top-level text is kept so that
// HasWellFormedTop can refuse it.
inline constexpr unsigned kXmlFileParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_fragment;

// At most one top-level element and no text (other than white space) beside it: pugixml
// would otherwise read a file with a second document glued on as if it were whole.
bool HasWellFormedTop(const pugi::xml_document& doc);

// Parses Bytes with kXmlFileParseOptions and checks the top; false sets Why (when given) to
// pugixml's description and the byte offset ("Start-end tags mismatch at offset 120"), or to
// kXmlTopNotWhole.
bool ParseXmlFile(std::string_view bytes, pugi::xml_document& doc, std::string* why);
inline constexpr std::string_view kXmlTopNotWhole = "Text or a second element beside the root element";

// Sets *Why when it is given; always false, so that a reader can return it.
bool FailWith(std::string* why, std::string reason);

// The system's reason for the last failed call ("No such file or directory").
std::string SystemReason();

// Adds the <?xml version="1.0" encoding="UTF-8"?> declaration to an empty document.
void AddXmlDeclaration(pugi::xml_document& doc);

// The document's text. A carriage return in element text is written as "&#13;" so that a
// reader gets it back instead of a line feed.
std::string XmlDocumentText(const pugi::xml_document& doc);

}  // namespace brindle
