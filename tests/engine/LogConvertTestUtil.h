#pragma once
// Shared set-up of the analysis-engine tests: default options, profiles with "file://"
// locations, fixture logs copied with a known modification date, and what the engine reports.
#include <sys/time.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/DateTime_u.h"
#include "engine/LogConvert_u.h"
#include "support/TestFolder.h"

namespace brindle::test {

inline TOptions DefaultOptions() {
    TOptions options;
    options.LoadDefaults();
    return options;
}

inline TRecLogFileProperty FileLocation(const std::string& url, int enable = 1) {
    TRecLogFileProperty location;
    location.LogFileType = "file://";
    location.LogFileURL = url;
    location.Enable = enable;
    return location;
}

inline TProfile ProfileOf(const std::vector<TRecLogFileProperty>& locations, std::uint8_t format = 0) {
    TProfile profile;
    profile.Name = "test";
    profile.DefaultPage = "index.html";
    profile.OffsetSign = 1;
    profile.LogFileFormat = format;
    for (const TRecLogFileProperty& location : locations) profile.LogFiles.Add(location);
    return profile;
}

// Sets a file's modification time to noon of the given local date.
inline void SetFileDate(const std::string& path, int year, int month, int day) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const timeval times[2] = {{when, 0}, {when, 0}};
    utimes(path.c_str(), times);
}

// A fixture of tests/data/logs copied into Folder under the same name, dated 20 July 2010:
// a date whose numbers never decide an IIS date order by themselves.
inline std::string CopyLog(const TestFolder& folder, const std::string& fixture, const std::string& as = {}) {
    const std::string name = as.empty() ? std::filesystem::path(fixture).filename().string() : as;
    const std::string path = folder.write(name, ReadFileBytes(DataPath("logs/" + fixture)));
    SetFileDate(path, 2010, 7, 20);
    return path;
}

// Every callback of a run, in order.
struct TEngineEvents {
    struct TEvent {
        bool Status;
        int Value;
        std::string Text;
    };
    std::vector<TEvent> Events;

    void Bind(TLogConvert& engine) {
        engine.OnProgress = [this](const void*, int value, const std::string& text) {
            Events.push_back({false, value, text});
        };
        engine.OnStatus = [this](const void*, int value, const std::string& text) {
            Events.push_back({true, value, text});
        };
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> texts;
        for (const TEvent& e : Events)
            if (e.Status) texts.push_back(e.Text);
        return texts;
    }
    std::vector<int> Progress(const std::string& text) const {
        std::vector<int> values;
        for (const TEvent& e : Events)
            if (!e.Status && e.Text == text) values.push_back(e.Value);
        return values;
    }
};

// The message of the ELogConvert that Call raises; empty when it raises none.
template <class Call>
std::string ErrorOf(Call&& call) {
    try {
        call();
    } catch (const ELogConvert& e) {
        return e.what();
    }
    return {};
}

// The texts of a table in index order.
inline std::vector<std::string> TableTexts(const TBucketString& table) {
    std::vector<std::string> texts;
    for (std::int32_t i = 0; i < table.Count(); ++i) texts.emplace_back(table.GetString(i));
    return texts;
}

}  // namespace brindle::test
