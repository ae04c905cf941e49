#pragma once
// Repairs text on its way out of the program (XML, CSV, HTML): log bytes and old files are
// not always UTF-8, and XML 1.0 cannot carry most control characters.
#include <string>
#include <string_view>

namespace brindle {

bool IsValidUtf8(std::string_view text);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

// Valid UTF-8 stays as it is; every byte that is not part of a valid sequence is read as
// Windows-1252 (its five unassigned bytes as the C1 controls of the same value).
std::string RepairUtf8(std::string_view text);
void AppendRepairedUtf8(std::string& out, std::string_view text);

// Text on its way into an output (report pages, CSV and XML exports): RepairUtf8, then
// every control character other than tab, line feed and carriage return (DEL included) and
// U+FFFE, U+FFFF become U+FFFD, so log text can neither break a file format nor play tricks
// on the terminal or program that shows it.
std::string RepairOutputText(std::string_view text);
void AppendRepairedOutputText(std::string& out, std::string_view text);
// True when RepairOutputText would return the text unchanged.
bool IsCleanOutputText(std::string_view text);

// For the program's own stored files, where a DEL typed into a setting must survive:
// RepairUtf8, then every character XML 1.0 forbids (controls other than tab, line feed and
// carriage return; U+FFFE, U+FFFF) becomes U+FFFD.
std::string RepairXmlText(std::string_view text);
void AppendRepairedXmlText(std::string& out, std::string_view text);

}  // namespace brindle
