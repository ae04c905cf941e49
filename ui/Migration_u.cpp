#include "ui/Migration_u.h"

#include <array>
#include <initializer_list>
#include <string_view>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"

namespace brindle {

namespace {

template <typename TTarget>
struct TStep {
    std::string_view Version;  // the version the step brings the target to
    void (*Run)(TTarget&);
};

// The steps of one file kind, oldest first, after the version of their oldest file.
template <typename TTarget, std::size_t N>
void RunSteps(std::string_view oldestVersion, const std::array<TStep<TTarget>, N>& steps, TTarget& target,
              double stored, double to) {
    // Compared as two-decimal texts so that 1.1 and 1.10 are one version, whatever the
    // binary value read from the file.
    const std::string storedText = FloatToFixed(0, 2, stored);
    const std::string targetText = FloatToFixed(0, 2, to);
    const auto indexOf = [&](const std::string& text) -> int {
        if (text == oldestVersion) return 0;
        for (std::size_t i = 0; i < N; ++i)
            if (text == steps[i].Version) return static_cast<int>(i) + 1;
        return -1;
    };
    const int from = indexOf(storedText);
    const int until = indexOf(targetText);
    if (from < 0 || until <= from) return;
    for (int i = from; i < until; ++i) steps[static_cast<std::size_t>(i)].Run(target);
}

// ---- options ----

int IndexOfKey(const TLstUAType& list, std::string_view key) { return list.IndexOfID(key); }
int IndexOfKey(const TLstFileExt& list, std::string_view key) { return list.IndexOfExt(key); }
const std::string& KeyOf(const TRecUAType& rec) { return rec.ID; }
const std::string& KeyOf(const TRecFileExt& rec) { return rec.Ext; }

// Nothing happens when an entry with the new key exists already.
template <typename TList, typename TRec>
void InsertAtTop(TList& list, TRec rec) {
    if (IndexOfKey(list, KeyOf(rec)) < 0) list.Insert(0, std::move(rec));
}

// Right after the first entry whose key is Anchor; at the top when there is none.
template <typename TList, typename TRec>
void InsertAfter(TList& list, std::string_view anchor, TRec rec) {
    if (IndexOfKey(list, KeyOf(rec)) >= 0) return;
    const int at = IndexOfKey(list, anchor);
    list.Insert(at < 0 ? 0 : static_cast<std::size_t>(at) + 1, std::move(rec));
}

// One classification entry to add; a null Anchor puts it at the top.
struct TUAInsertion {
    const char* Anchor;
    const char* ID;
    const char* Name;
};

// In table order, so later rows after one anchor end up before earlier ones.
void InsertAll(TLstUAType& list, std::initializer_list<TUAInsertion> rows) {
    for (const TUAInsertion& row : rows) {
        TRecUAType rec{row.ID, row.Name};
        if (row.Anchor)
            InsertAfter(list, row.Anchor, std::move(rec));
        else
            InsertAtTop(list, std::move(rec));
    }
}

// ---- profiles ----

void ForEachProfile(TLstProfile& profiles, void (*change)(TProfile&)) {
    for (std::size_t i = 0; i < profiles.Count(); ++i) change(profiles[i]);
}

void AddMissingDefaultReports(TProfile& profile, std::initializer_list<int> ids) {
    for (const int id : ids) {
        TRecReportProperty existing;
        if (profile.Reports.Find(id, existing, false)) continue;
        if (const TRecReportProperty* row = FindDefaultReportProperty(id)) profile.Reports.Add(*row);
    }
}

}  // namespace

double StoredFileVersion(const std::string& ver) {
    try {
        return StrToFloatDot(ver);
    } catch (const EConvertError&) {
        return 1.0;
    }
}

void UpgradeOptionsTo110(TOptions& options) {
    InsertAll(options.OSs, {{nullptr, "Windows NT 5.2", "Windows Server 2003"}});
}

void UpgradeOptionsTo120(TOptions& options) {
    options.ShowEmptyReports = 0;
    options.ShowGridLines = 0;
}

void UpgradeOptionsTo130(TOptions& options) {
    options.Export.LanguageID = "en";
    options.RemoveTxtQuestionRequestURL = 1;
    options.RemoveTxtQuestionReferrerURL = 0;
    options.RemoveTxtSharpRequestURL = 1;
    options.RemoveTxtSharpReferrerURL = 1;
    options.ConvertLowerCaseRequestURL = 0;
    options.ConvertLowerCaseReferrerURL = 0;

    InsertAfter(options.Files, "asp", TRecFileExt{"aspx", 2});

    TLstBrowserType& browsers = options.Browsers;
    InsertAll(browsers, {{"DA", "Firebird", "Firebird"},
                         {"Firebird", "Firefox", "Firefox"},
                         {"Go!Zilla", "Konqueror", "Konqueror"},
                         {"NetAnts", "Netscape/7.", "Netscape Navigator 7.x"},
                         {"NetAnts", "Netscape6/", "Netscape Navigator 6.x"},
                         {"Offline Explorer", "OmniWeb", "OmniWeb"},
                         {"RealDownload", "Safari", "Safari"}});
    for (const char major : {'2', '3', '4', '5'}) {
        const std::string id = std::string("Mozilla/") + major + ".";
        const std::string name = std::string("Mozilla/") + major + ".x (compatible)";
        const int at = browsers.IndexOfID(id);
        if (at >= 0)
            browsers[static_cast<std::size_t>(at)].Name = name;
        else
            browsers.Add({id, name});
    }

    InsertAll(options.Spiders, {{"Morning Paper", "msnbot", "MSN Search robot"},
                                {"Xenu Link Sleuth", "Yahoo-VerticalCrawler", "Yahoo (via Overture)"},
                                {"Xenu Link Sleuth", "YahooSeeker", "Yahoo"},
                                {"Xenu Link Sleuth", "Yahoo-MMCrawler", "Yahoo"},
                                {"oBot", "Overture-WebCrawler", "Overture Crawler"}});
}

void UpgradeOptionsTo140(TOptions& options) {
    InsertAll(options.OSs, {{nullptr, "Windows NT 6.0", "Windows Vista"}, {"Win16", "Windows CE", "Windows CE"}});
    InsertAll(options.Browsers, {{"MSIE 6.", "MSIE 7.", "Internet Explorer 7.x"}});
}

void UpgradeProfilesTo110(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) { AddMissingDefaultReports(p, {36, 37, 38}); });
}

void UpgradeProfilesTo120(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) {
        TRecLogFileProperty location;
        location.LogFileType = p.Obsolete110.LogFileType;
        location.LogFileURL = p.Obsolete110.LogFileURL;
        location.LoginUserName = p.Obsolete110.LoginUserName;
        location.LoginPassword = p.Obsolete110.LoginPassword;
        location.LoginPort = p.Obsolete110.LoginPort;
        location.PassiveMode = 0;
        // The profile's only source must be read; the 2.20 step would enable it anyway.
        location.Enable = 1;
        p.LogFiles.Add(location);
        p.AutoExport = 0;
        p.AutoExportType = 0;
        p.AutoExportFile.clear();
    });
}

void UpgradeProfilesTo130(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) {
        p.OffsetSign = 1;
        p.OffsetHour = 0;
        p.OffsetMinute = 0;
    });
}

void UpgradeProfilesTo200(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) {
        for (TRecReportProperty& rec : p.Reports) {
            const TRecReportProperty* row = FindDefaultReportProperty(rec.ID);
            if (!row) continue;
            const bool enabled = rec.Enable != 0;
            rec.EnableList = enabled ? row->EnableList : 0;
            rec.EnableChart = enabled ? row->EnableChart : 0;
            rec.EnableChartDaily = enabled ? row->EnableChartDaily : 0;
            rec.NbItemsList = row->NbItemsList;
            rec.NbItemsChart = row->NbItemsChart;
            rec.NbItemsChartDaily = row->NbItemsChartDaily;
        }
        AddMissingDefaultReports(p, {39, 131, 132, 133, 134, 135, 136, 137, 141, 142, 56, 57, 63});
    });
}

void UpgradeProfilesTo210(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) { p.AutoExportLanguageID = "default"; });
}

void UpgradeProfilesTo220(TLstProfile& profiles) {
    ForEachProfile(profiles, [](TProfile& p) {
        for (TRecLogFileProperty& location : p.LogFiles) location.Enable = 1;
    });
}

void MigrateOptions(TOptions& options, double stored, double target) {
    static constexpr std::array<TStep<TOptions>, 4> kSteps{{
        {"1.10", UpgradeOptionsTo110},
        {"1.20", UpgradeOptionsTo120},
        {"1.30", UpgradeOptionsTo130},
        {"1.40", UpgradeOptionsTo140},
    }};
    RunSteps("1.00", kSteps, options, stored, target);
}

void MigrateProfiles(TLstProfile& profiles, double stored, double target) {
    static constexpr std::array<TStep<TLstProfile>, 6> kSteps{{
        {"1.10", UpgradeProfilesTo110},
        {"1.20", UpgradeProfilesTo120},
        {"1.30", UpgradeProfilesTo130},
        {"2.00", UpgradeProfilesTo200},
        {"2.10", UpgradeProfilesTo210},
        {"2.20", UpgradeProfilesTo220},
    }};
    RunSteps("1.00", kSteps, profiles, stored, target);
}

}  // namespace brindle
