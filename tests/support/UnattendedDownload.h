#pragma once
// An unattended run ("/s /p=Site /c", no screen) of a profile whose one location is an
// http:// address, against the in-test HTTP server.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/Profiles_u.h"
#include "support/ProgramRun.h"
#include "support/TestFolder.h"
#include "support/servers/ServerProcess.h"

namespace brindle::test {

struct TUnattendedDownload {
    TProgramRun Run;
    std::string Output;  // standard output and error
    std::string Address;  // the location as the messages name it
};

inline TUnattendedDownload RunUnattendedDownload(const std::string& path, std::chrono::seconds deadline) {
    TUnattendedDownload result;
    TestFolder home;
    TestFolder served;
    served.write("logs/access.log", "127.0.0.1 - - [01/Jan/2024:00:00:00 +0000] \"GET / HTTP/1.0\" 200 1\n");
    TServerProcess server("http_server.py", {"--root", served.path(), "--time-limit", "300"});
    EXPECT_GT(server.Port(), 0) << "the HTTP test server did not start";
    const std::string url = "127.0.0.1:" + std::to_string(server.Port()) + "/" + path;
    result.Address = "http://" + url;

    const std::string user = home.path() + "user/";
    std::filesystem::create_directories(user);
    TProfiles list;
    list.Ver = "2.20";
    auto profile = std::make_unique<TProfile>();
    profile->Name = "Site";
    profile->LogFiles.Add({"http://", url, "", "", 80, 0, 1});
    list.Profiles.Add(std::move(profile));
    EXPECT_TRUE(list.SaveToFile(user + "Profiles.xml"));

    TProgramRunOptions options;
    options.Deadline = deadline;
    const std::string logFile = home.file("run.log");
    result.Run = RunBuiltProgram(user, {"/s", "/p=Site", "/c"}, logFile, options);
    result.Output = ReadFileBytes(logFile);
    return result;
}

}  // namespace brindle::test
