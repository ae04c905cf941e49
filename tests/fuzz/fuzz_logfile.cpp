// Whole log files as the engine reads them: format detection, directives, the line splitter,
// the field mappers, cleaning and filters. The first byte picks the profile's format and date
// order, the rest is the file.
#include <array>

#include "FuzzInput.h"
#include "engine/LogConvert_u.h"

namespace {

constexpr std::array<std::uint8_t, 9> kFormats = {
    brindle::lfAutoDetect,   brindle::lfNCSACommon,     brindle::lfNCSACombined,
    brindle::lfApacheCommon, brindle::lfApacheCombined, brindle::lfIIS,
    brindle::lfIISW3C,       brindle::lfISAW3C,         brindle::lfCustomFC};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    if (size == 0) return 0;
    const TOptions& options = fuzz::DefaultOptions();
    TProfile profile;
    profile.Name = "fuzz";
    profile.DefaultPage = "index.html";
    profile.OffsetSign = 1;
    profile.LogFileFormat = kFormats[data[0] % kFormats.size()];
    profile.DateFormat = static_cast<std::uint8_t>(data[0] / kFormats.size() % 7);
    const std::string path = fuzz::WriteInput("input.log", fuzz::AsText(data + 1, size - 1));
    // One engine for the process: building its tables cost more than most inputs.
    static TLogConvert engine;
    engine.ClearStatistics();  // nothing of the previous input may shape this one
    engine.BeginAnalysis(profile, options);
    try {
        engine.ParseLogFile(path);
    } catch (const ELogConvert&) {
        // A run that stops with a message for the user is a handled outcome.
    }
    // Freed now rather than at the next input: libFuzzer runs an input that keeps more than
    // it frees once more, to look for a leak.
    engine.ClearStatistics();
    return 0;
}
