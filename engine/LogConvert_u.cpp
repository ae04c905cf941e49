#include "engine/LogConvert_u.h"

#include <malloc.h>

#include <algorithm>
#include <filesystem>

#include "core/AppPaths.h"
#include "core/DateMacros_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/StatisticsPass_u.h"

namespace brindle {

namespace {

// A failure on this side (a full disk) is named for what it is.
std::string FailureOr(const std::string& localFailure, const char* otherwise) {
    return localFailure.empty() ? std::string(otherwise) : localFailure;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (AsciiLower(text[text.size() - suffix.size() + i]) != suffix[i]) return false;
    return true;
}

bool IsArchive(const std::string& path) { return EndsWithNoCase(path, ".zip") || EndsWithNoCase(path, ".gz"); }

TRemoteLogin LoginOf(const TRecLogFileProperty& location) {
    TRemoteLogin login;
    login.UserName = location.LoginUserName;
    login.Password = location.LoginPassword;
    login.Port = location.LoginPort;
    login.Passive = location.PassiveMode != 0;
    return login;
}

// Holds a busy flag for the length of one remote job, also when it raises.
class TBusyScope {
public:
    explicit TBusyScope(std::atomic<bool>& flag) : Flag(flag) { Flag = true; }
    ~TBusyScope() { Flag = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    std::atomic<bool>& Flag;
};

}  // namespace

bool TLogConvert::TPathLess::operator()(const std::string& a, const std::string& b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char ca = AsciiLower(a[i]);
        const char cb = AsciiLower(b[i]);
        if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

TLogConvert::TLogConvert() {
    Parser.SetStopFlag(&Cancelled);
    Parser.OnProgress = [this](int value, const std::string& text) { DoProgress(value, text); };
    Parser.OnStatus = [this](int value, const std::string& text) { DoStatus(value, text); };
}

void TLogConvert::DoProgress(int value, const std::string& text) const {
    if (OnProgress) OnProgress(this, value, text);
}

void TLogConvert::DoStatus(int value, const std::string& text) const {
    if (OnStatus) OnStatus(this, value, text);
}

void TLogConvert::Cancel() {
    Cancelled = true;
    if (DNSBusy) {
        DNSCache.Cancel();
    } else if (FTPBusy) {
        dmFTP.Cancel();
    } else if (HTTPBusy) {
        dmHTTP.Cancel();
    }
}

void TLogConvert::ClearStatistics() {
    BadLineCount = 0;
    VisitCount = 0;
    Records.Clear();
    HostIPs.clear();
    for (TBucketString* table : Tables()) table->Clear();
    ClearStatisticsTables();
    // The memos hold indices into the tables just cleared.
    Parser.ForgetMemos();
}

TAnalysisResult TLogConvert::TakeResult() {
    TAnalysisResult result{.Statistics = std::move(static_cast<TStatistics&>(*this)),
                           .Profile = std::move(Profile),
                           .AnalysisTime = AnalysisTime,
                           .BadLineCount = BadLineCount};
    ReleaseRun();
    return result;
}

void TLogConvert::ReleaseRun() {
    // Cleared lists keep their room: fresh ones give a large log's memory back.
    Records = {};
    HostIPs = {};
    ClearStatistics();
}

void TLogConvert::BeginAnalysis(const TProfile& profile, const TOptions& options) {
    Profile.Assign(profile);
    Options = options;
    Parser.Begin(Profile, Options);
}

bool TLogConvert::Analyze(const TProfile& profile, const std::string& workFolder, const std::string& dnsCacheFile,
                          const std::string& cityDbPath, const TOptions& options) {
    Cancelled = false;
    BeginAnalysis(profile, options);
    DNSBusy = false;
    FTPBusy = false;
    HTTPBusy = false;
    AnalysisTime = NowLocal();
    ClearStatistics();
    LocalNames.Clear();

    TFileList files;
    const TRecLogFileProperty* firstLocation = nullptr;
    std::size_t locationCount = 0;
    for (const TRecLogFileProperty& location : Profile.LogFiles) {
        if (!location.Enable) continue;
        if (!firstLocation) firstLocation = &location;
        ++locationCount;
    }
    bool severalFiles = locationCount != 1;

    for (const TRecLogFileProperty& location : Profile.LogFiles) {
        if (Cancelled) break;
        if (!location.Enable) continue;
        const std::string url = ExpandDateMacros(location.LogFileURL);
        if (url.find_first_of("*?") != std::string::npos) severalFiles = true;
        CollectLocation(location, url, workFolder, files);
    }
    if (Cancelled) return false;

    if (files.empty()) {
        if (severalFiles || !firstLocation) throw ELogConvert("There are no log files to analyze.");
        throw ELogConvert(SafeFormat("Could not open the log file '%s'.", {firstLocation->LogFileURL}) +
                          "\r\nYou should check the specified log file directory/file/wildcard.");
    }

    // Archives nested deeper than this are refused: an archive that holds a copy of itself
    // would otherwise be unpacked for ever.
    constexpr int kMaxArchiveNesting = 16;
    bool foundArchive = true;
    for (int pass = 0; foundArchive; ++pass) {
        if (pass == kMaxArchiveNesting) {
            const auto archive = std::find_if(files.begin(), files.end(), IsArchive);
            if (archive == files.end()) break;
            throw ELogConvert(SafeFormat("Could not decompress the file '%s'.", {*archive}) +
                              "\r\nThe compressed file could be corrupt or it could have an invalid format.");
        }
        if (!UnpackPass(workFolder, files, foundArchive)) return false;
    }

    severalFiles = files.size() != 1;
    bool validData = false;
    const std::vector<std::string> fileList(files.begin(), files.end());
    if (!ParseFiles(fileList, severalFiles, validData) || Cancelled) return false;
    CheckTableSizes();
    // Nothing looks texts up after the parse: the tables are read by index from here on.
    for (TBucketString* table : Tables()) table->ReleaseIndex();
    if (!validData)
        throw ELogConvert(
            "The analyzed log files don't contain valid log file data.\r\n"
            "The log files could be corrupt or it could have an invalid format.\r\n\r\n"
            "For more information about supported log file types, see the 'Help'.");

    if (!Cancelled) AssignIPNumbers();
    if (!Cancelled && Profile.DNSLookup) ResolveHosts(dnsCacheFile);
    if (!Cancelled) {
        DoStatus(0, "Processing statistics...");
        DoProgress(0, "Processing statistics");
    }
    if (!Cancelled) ComputeVisits();
    // The parse workers' pieces and the visits' work lists were freed into the allocator's
    // per-thread pools, which would otherwise keep them through the statistics pass, the
    // run's peak.
    malloc_trim(0);
    if (!Cancelled) BuildStatistics(cityDbPath);
    if (!Cancelled) DoProgress(100, "Processing statistics");
    return !Cancelled;
}

bool TLogConvert::ParseFiles(const std::vector<std::string>& files, bool severalFiles, bool& validData) {
    if (ParseSettings.ThreadCount() <= 1)
        return ParseFilesInOrder(Parser, files, severalFiles, validData, BadLineCount);
    return ParseFilesInParallel({Parser, Tables(), Records, BadLineCount, ParseSettings}, files, severalFiles,
                                validData);
}

void TLogConvert::CheckTableSizes() {
    const std::array<TBucketString*, TableCount> tables = Tables();
    static constexpr std::array<const char*, SmallRecordTables.size()> kWhat = {"browsers", "operating systems",
                                                                                "spiders"};
    for (std::size_t i = 0; i < SmallRecordTables.size(); ++i)
        if (tables[SmallRecordTables[i]]->Count() > TRecLog::kMaxSmallIndex + 1)
            throw ELogConvert(SafeFormat("The log files hold more than %s different %s: too many for the statistics.",
                                         {std::to_string(TRecLog::kMaxSmallIndex + 1), kWhat[i]}));
}

std::array<TBucketString*, TableCount> TLogConvert::Tables() {
    return {&HostTable, &UserTable,     &VDomainTable, &MethodTable,  &URITable, &ExtTable,
            &PathTable, &ReferrerTable, &AgentTable,   &BrowserTable, &OSTable,  &SpiderTable};
}

void TLogConvert::CollectLocation(const TRecLogFileProperty& location, const std::string& url,
                                  const std::string& workFolder, TFileList& files) {
    std::uint8_t result = 0;
    if (location.LogFileType == "file://") {
        AddLocalFiles(url, files);
    } else if (location.LogFileType == "ftp://") {
        result = Download(dmFTP, FTPBusy, files, [&](std::vector<std::string>& fetched) {
            return dmFTP.DownloadFiles(LoginOf(location), url, workFolder, fetched, LocalNames);
        });
        if (result == 2)
            throw ELogConvert(FailureOr(dmFTP.LocalWriteFailure(), "Unable to connect to the FTP server."));
    } else if (location.LogFileType == "http://") {
        result = Download(dmHTTP, HTTPBusy, files, [&](std::vector<std::string>& fetched) {
            return dmHTTP.DownloadFile(LoginOf(location), url, workFolder, fetched, LocalNames);
        });
        if (result == 2)
            throw ELogConvert(FailureOr(dmHTTP.LocalWriteFailure(), "Unable to connect to the HTTP server."));
    }
    if (result == 1) Cancelled = true;
}

void TLogConvert::AddLocalFiles(const std::string& pattern, TFileList& files) {
    namespace fs = std::filesystem;
    const std::size_t slash = pattern.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    const std::string mask = pattern.substr(folder.size());
    if (mask.empty()) return;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    if (ec) return;
    // Hidden files only when the mask names them.
    const bool hiddenToo = mask.front() == '.';
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        if (name.front() == '.' && !hiddenToo) continue;
        if (!detail::MatchesMask(mask, name)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string path = folder + name;
        LocalNames.Reserve(path);
        files.insert(path);
    }
}

std::uint8_t TLogConvert::Download(TRemoteModule& module, std::atomic<bool>& busy, TFileList& files,
                                   const std::function<std::uint8_t(std::vector<std::string>&)>& fetch) {
    module.OnProgress = OnProgress;
    module.OnStatus = OnStatus;
    std::vector<std::string> fetched;
    std::uint8_t result = 1;
    {
        TBusyScope scope(busy);
        // A cancel that came before the flag was up would not reach the download.
        if (!Cancelled) result = fetch(fetched);
    }
    files.insert(fetched.begin(), fetched.end());
    return result;
}

bool TLogConvert::UnpackPass(const std::string& workFolder, TFileList& files, bool& foundArchive) {
    foundArchive = false;
    std::vector<std::string> members;
    const std::vector<std::string> entries(files.rbegin(), files.rend());
    for (const std::string& entry : entries) {
        if (Cancelled) return false;
        if (!IsArchive(entry)) continue;
        foundArchive = true;
        DoStatus(0, "Decompressing : " + FileNameOf(entry));
        if (!dmUnzip.ExtractArchive(entry, workFolder, members, LocalNames))
            throw ELogConvert(SafeFormat("Could not decompress the file '%s'.", {entry}) + "\r\n" +
                              FailureOr(dmUnzip.WriteFailure(),
                                        "The compressed file could be corrupt or it could have an invalid format."));
        files.erase(entry);
    }
    files.insert(members.begin(), members.end());
    return true;
}

void TLogConvert::ResolveHosts(const std::string& dnsCacheFile) {
    // Every host text of the table is a host of some hit; texts that are no addresses are
    // passed over by the lookup. A host keeps its index, only its text changes.
    std::vector<std::string> hosts;
    hosts.reserve(static_cast<std::size_t>(HostTable.Count()));
    for (std::int32_t i = 0; i < HostTable.Count(); ++i) hosts.emplace_back(HostTable.GetString(i));
    DNSCacheSaveFailure = brindle::ResolveHosts(DNSCache, dnsCacheFile, hosts, Options, OnProgress, DNSBusy,
                                                [this](std::size_t position, const std::string& hostName) {
                                                    HostTable.SetString(static_cast<std::int32_t>(position), hostName);
                                                });
}

void TLogConvert::BuildStatistics(const std::string& cityDbPath) {
    if (!SearchEngineMatcher || !SearchEngineMatcher->IsFor(Options.SEs)) SearchEngineMatcher.emplace(Options.SEs);
    brindle::RunStatisticsPass({.Records = Records,
                                .HostTable = HostTable,
                                .HostIPs = HostIPs,
                                .UserTable = UserTable,
                                .URITable = URITable,
                                .ExtTable = ExtTable,
                                .PathTable = PathTable,
                                .ReferrerTable = ReferrerTable,
                                .BrowserTable = BrowserTable,
                                .OSTable = OSTable,
                                .SpiderTable = SpiderTable,
                                .SearchEngines = Options.SEs,
                                .SearchEngineMatcher = &*SearchEngineMatcher,
                                .CountryDbFile = AppPaths::GeoIPCountryFile(),
                                .CityDbPath = cityDbPath,
                                .CountryReaderFactory = CountryReaderFactory,
                                .CityReaderFactory = CityReaderFactory,
                                .IsCancelled = [this] { return Cancelled.load(); },
                                .Progress = [this](int value, const std::string& text) { DoProgress(value, text); },
                                .RecordsRead = ReleaseRecordsWhenRead ? std::function<void()>([this] { Records = {}; })
                                                                      : std::function<void()>()},
                               *this);
}

}  // namespace brindle
