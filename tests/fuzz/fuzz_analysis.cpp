// A whole analysis of one log, then the CSV and XML exports of every report: nothing from the
// log may reach either file as a raw control character, and every CSV line must be whole.
// One engine serves every input of the process: each run starts afresh, and building the
// engine's tables per input cost more than most inputs do. Its country database stays open.
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "FuzzInput.h"
#include "KeptCountryReader.h"
#include "core/SafeFile_u.h"
#include "engine/LogConvert_u.h"
#include "engine/ReportContent_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportXML_u.h"

namespace {

void ExpectNoRawControls(const std::string& bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F) std::abort();
    }
}

brindle::TLogConvert& Engine() {
    static brindle::fuzz::TKeptCountryReader::TDatabase countries;
    static const std::unique_ptr<brindle::TLogConvert> engine = [] {
        auto made = std::make_unique<brindle::TLogConvert>();
        made->CountryReaderFactory = [] { return std::make_unique<brindle::fuzz::TKeptCountryReader>(countries); };
        return made;
    }();
    return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const TOptions& options = fuzz::DefaultOptions();
    static const std::string folder = [] {
        const std::string scratch = fuzz::ScratchFolder();
        std::filesystem::create_directories(scratch + "work");
        return scratch;
    }();
    static const TProfile profile = [] {
        TProfile made;
        made.Name = "fuzz";
        made.DefaultPage = "index.html";
        made.OffsetSign = 1;
        TRecLogFileProperty location;
        location.LogFileType = "file://";
        location.LogFileURL = folder + "access.log";
        location.Enable = 1;
        made.LogFiles.Add(location);
        return made;
    }();
    fuzz::WriteInput("access.log", fuzz::AsText(data, size));

    static TLogConvert& engine = Engine();
    try {
        if (!engine.Analyze(profile, folder + "work/", folder + "dns.dat", "", options)) return 0;
    } catch (const ELogConvert&) {
        return 0;  // a run that stops with a message for the user
    }
    const TReportSource source{engine, engine.Profile, engine.AnalysisTime, engine.Options};
    const TReportSet everything = GetEnabledReportsWithDefaults(engine.Profile);
    std::string bytes;
    TExportCSV csv(source);
    if (!csv.Execute(everything, folder + "out.csv", ",") || !ReadWholeFile(folder + "out.csv", bytes)) std::abort();
    ExpectNoRawControls(bytes);
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") std::abort();
    TExportXML xml(source);
    if (!xml.Execute(everything, folder + "out.xml") || !ReadWholeFile(folder + "out.xml", bytes)) std::abort();
    ExpectNoRawControls(bytes);
    // What the run built goes now, not at the next input: an input that keeps more than it
    // frees is run again by libFuzzer to look for a leak.
    engine.ClearStatistics();
    return 0;
}
