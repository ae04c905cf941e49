#pragma once
// "Profiles.xml": the profile list as an XML document. TProfiles::LoadFromFile and
// TProfiles::SaveToFile are built on these two.
#include <string>
#include <string_view>

namespace brindle {

class TProfiles;

namespace xmlprofiles {

// The DATA attributes every saved file carries, whatever TProfiles holds.
inline constexpr std::string_view kFileDescription = "Brindle Analyzer Profiles";
inline constexpr std::string_view kFileVersion = "2.20";

// Reads a whole document into Target. All or nothing: false (not well-formed, or an element
// read as text holds elements) leaves Target unchanged.
// Why, when given, gets the reason of a failure.
bool ReadProfilesXml(std::string_view bytes, TProfiles& target, std::string* why = nullptr);

// The whole document: UTF-8, one element per line, two spaces per level. Texts are made
// valid UTF-8 without XML-forbidden characters.
std::string WriteProfilesXml(const TProfiles& profiles);

}  // namespace xmlprofiles
}  // namespace brindle
