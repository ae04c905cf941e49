#pragma once
// URL decoding of log texts.
#include <string>
#include <string_view>

namespace brindle {

// "+" becomes a blank, "%%" a "%", "%" and two hex digits the byte they give, except that
// the escape of a control character (below %20, and %7F) is kept as written; any other "%"
// is kept as it stands. Writes into `out` (its capacity is reused), which
// must not hold the text itself.
void HTTPDecode(std::string_view text, std::string& out);
std::string HTTPDecode(std::string_view text);

}  // namespace brindle
