// A whole analysis of one log, then the CSV and XML exports of every report: nothing from the
// log may reach either file as a raw control character, and every CSV line must be whole.
#include <cstdlib>
#include <filesystem>

#include "FuzzInput.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    const TOptions& options = fuzz::DefaultOptions();
    const std::string folder = fuzz::ScratchFolder();
    TProfile profile;
    profile.Name = "fuzz";
    profile.DefaultPage = "index.html";
    profile.OffsetSign = 1;
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = fuzz::WriteInput("access.log", fuzz::AsText(data, size));
    location.Enable = 1;
    profile.LogFiles.Add(location);
    std::filesystem::create_directories(folder + "work");

    TLogConvert engine;
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
    return 0;
}
