// Analysis documents (.bnl) as the program opens them, old versions converted.
#include "FuzzInput.h"
#include "engine/AnalysisDocument_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string path = fuzz::WriteInput("input.bnl", fuzz::AsText(data, size));
    TProfile profile;
    TSeconds analysisTime = 0;
    TStatistics stats;
    int code = 0;
    LoadAnalysisDocument(path, profile, analysisTime, stats, code, [] { return true; });
    return 0;
}
