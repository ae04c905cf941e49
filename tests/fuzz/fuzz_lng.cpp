// Report language files, in whatever charset they claim.
#include "FuzzInput.h"
#include "core/ReportTxt_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string path = fuzz::WriteInput("input.lng", fuzz::AsText(data, size));
    TReportTxt language;
    language.LoadDefaults();
    language.LoadFromFile(path);
    return 0;
}
