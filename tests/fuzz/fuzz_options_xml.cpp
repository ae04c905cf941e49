// Options.xml: any bytes must read without fault, and what was read must write back and read
// again to the same file.
#include <cstdlib>

#include "FuzzInput.h"
#include "core/XMLOptions_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    using namespace brindle::xmloptions;
    TOptions options;
    options.LoadDefaults();
    if (!ReadOptionsXml(fuzz::AsText(data, size), options)) return 0;
    const std::string written = WriteOptionsXml(options);
    TOptions again;
    again.LoadDefaults();
    if (!ReadOptionsXml(written, again) || WriteOptionsXml(again) != written) std::abort();
    return 0;
}
