#pragma once
// "Options.xml": the options as an XML document (root DATA with Description and Ver; the
// five lists; DNSLookup, Export and Misc), UTF-8, one element per line, two-space indent.
#include <string>
#include <string_view>

#include "core/Options_u.h"

namespace brindle::xmloptions {

// Reads a whole document into Options. All or nothing: false (not XML, an element whose
// text is read holds elements, a required integer missing) leaves Options unchanged.
// The eight Misc switches after SessionLength read as 0 when missing; texts read as empty.
// Why, when given, gets the reason of a failure.
bool ReadOptionsXml(std::string_view bytes, TOptions& options, std::string* why = nullptr);

// The document's bytes. Texts are repaired for XML (invalid UTF-8, forbidden controls).
std::string WriteOptionsXml(const TOptions& options);

// File forms of the two above; never raise. Why, when given, gets the reason of a failure:
// the parse error and its offset, or the system's reason.
bool LoadOptionsFile(const std::string& fileName, TOptions& options, std::string* why = nullptr);
bool SaveOptionsFile(const std::string& fileName, const TOptions& options, std::string* why = nullptr);

}  // namespace brindle::xmloptions
