#include "ui/SampleProfiles_u.h"

#include "core/CommonConsts_catalogue.h"
#include "core/Profiles_u.h"

namespace brindle {

namespace {

struct TSample {
    const char* Name;
    const char* LogFile;
    const char* DomainName;
    const char* DefaultPage;
    const char* Description;
};

constexpr TSample kSamples[] = {
    {"Sample1", "sample1.log", "www.example.com", "index.html", "Sample Apache log file"},
    {"Sample2", "sample2.log", "www.example.net", "index.htm", "Sample IIS log file"},
};

}  // namespace

std::unique_ptr<TProfile> NewProfileForLogFile(std::string_view fileName) {
    auto profile = std::make_unique<TProfile>();
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = std::string(fileName);
    location.LoginPort = 21;
    location.PassiveMode = 0;
    location.Enable = 1;
    profile->LogFiles.Add(location);
    profile->LogFileFormat = 0;
    profile->DateFormat = 0;
    for (const TRecReportProperty& row : DefaultReportTable()) profile->Reports.Add(row);
    return profile;
}

void CreateSampleProfiles(TLstProfile& profiles, const std::string& sampleDir) {
    for (const TSample& sample : kSamples) {
        if (profiles.FindByName(sample.Name)) continue;
        std::unique_ptr<TProfile> profile = NewProfileForLogFile(sampleDir + sample.LogFile);
        profile->Name = sample.Name;
        profile->DomainName = sample.DomainName;
        profile->DefaultPage = sample.DefaultPage;
        profile->DNSLookup = 0;
        profile->AutoExport = 0;
        profile->AutoExportType = 0;
        profile->AutoExportFile.clear();
        profile->AutoExportLanguageID = "default";
        profile->Description = sample.Description;
        profile->OffsetSign = 1;
        profile->OffsetHour = 0;
        profile->OffsetMinute = 0;
        profiles.Add(std::move(profile));
    }
}

}  // namespace brindle
