// Analysis documents (.bnl) as the program opens them, old versions converted. A document that
// opens must save and open again to the same bytes.
#include <cstdlib>

#include "FuzzInput.h"
#include "core/SafeFile_u.h"
#include "engine/AnalysisDocument_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const std::string path = fuzz::WriteInput("input.bnl", fuzz::AsText(data, size));
    TProfile profile;
    TSeconds analysisTime = 0;
    TStatistics stats;
    int code = 0;
    if (!LoadAnalysisDocument(path, profile, analysisTime, stats, code, [] { return true; })) return 0;
    const std::string first = fuzz::ScratchFolder() + "first.bnl";
    const std::string second = fuzz::ScratchFolder() + "second.bnl";
    if (!SaveAnalysisDocument(first, profile, analysisTime, stats)) std::abort();
    TProfile profile2;
    TSeconds analysisTime2 = 0;
    TStatistics stats2;
    if (!LoadAnalysisDocument(first, profile2, analysisTime2, stats2, code, {})) std::abort();
    if (!SaveAnalysisDocument(second, profile2, analysisTime2, stats2)) std::abort();
    std::string a, b;
    if (!ReadWholeFile(first, a) || !ReadWholeFile(second, b) || a != b) std::abort();
    return 0;
}
