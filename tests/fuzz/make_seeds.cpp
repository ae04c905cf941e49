// Writes the binary seeds the fuzz corpora start from, made by the program's own writers from
// the test fixtures: make_seeds <fixture folder> <corpus root>.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/BinaryStream_u.h"
#include "core/Profiles_u.h"
#include "engine/AnalysisDocument_u.h"
#include "engine/DNSCache_u.h"
#include "engine/LogConvert_u.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

void WriteBytes(const fs::path& path, std::string_view prefix, std::string_view bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(prefix.data(), 1, prefix.size(), file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

TProfile LogProfile(const fs::path& logs) {
    TProfile profile;
    profile.Name = "seed";
    profile.DefaultPage = "index.html";
    profile.OffsetSign = 1;
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = (logs / "formats" / "combined.log").string();
    location.Enable = 1;
    profile.LogFiles.Add(location);
    return profile;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const fs::path fixtures = argv[1];
    const fs::path corpus = argv[2];
    for (const char* name : {"document", "dnsdat", "profile_block"}) fs::create_directories(corpus / name);

    TOptions options;
    options.LoadDefaults();
    const fs::path work = corpus / "work";
    fs::create_directories(work);
    TLogConvert engine;
    const TProfile profile = LogProfile(fixtures / "logs");
    engine.Analyze(profile, work.string() + "/", (work / "dns.dat").string(), "", options);
    SaveAnalysisDocument((corpus / "document" / "combined.bnl").string(), profile, 40000LL * 86400, engine);
    SaveAnalysisDocument((corpus / "document" / "empty.bnl").string(), TProfile(), 0, TStatistics());
    fs::remove_all(work);

    TDNSCache cache;
    cache.Cache.Add({0x0100007F, 40000LL * 86400, "localhost"});
    cache.Cache.Add({0x0101A8C0, 0, ""});
    cache.SaveToFile((corpus / "dnsdat" / "two.dat").string());

    TProfiles profiles;
    if (profiles.LoadFromFile((fixtures / "golden" / "Profiles.xml").string())) {
        for (std::size_t i = 0; i < profiles.Profiles.Count(); ++i) {
            TBinaryWriter writer;
            profiles.Profiles[i].WriteToStream(writer);
            const std::string name = "profile" + std::to_string(i);
            WriteBytes(corpus / "profile_block" / (name + "-21"), "\x01", writer.Data());
        }
    }
    TBinaryWriter writer;
    LogProfile(fixtures / "logs").WriteToStream(writer);
    WriteBytes(corpus / "profile_block" / "log-21", "\x01", writer.Data());
    return 0;
}
