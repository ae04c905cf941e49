// Single log lines through the splitter and every field mapper, without the file reader in
// between: many more lines per second than the file target. Each line is mapped in every format.
#include "FuzzInput.h"
#include "engine/LogConvert_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const TOptions& options = fuzz::DefaultOptions();
    static TLogConvert engine;
    static bool begun = false;
    if (!begun) {
        TProfile profile;
        profile.DefaultPage = "index.html";
        profile.OffsetSign = 1;
        engine.BeginAnalysis(profile, options);
        begun = true;
    }
    std::string_view text = fuzz::AsText(data, size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        for (const std::uint8_t format : {lfNCSACommon, lfNCSACombined, lfIIS, lfIISW3C, lfISAW3C, lfCustomFC}) {
            engine.SplitLine(line);
            if (engine.MapLine(format) == TLineResult::Hit && engine.Records.Count() < 4096) engine.AddRecord();
        }
    }
    if (engine.Records.Count() >= 4096) engine.ClearStatistics();
    return 0;
}
