#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "engine/HTTP_dm.h"
#include "support/TestFolder.h"
#include "support/servers/ServerProcess.h"
#include "support/servers/TransferLog.h"

namespace brindle {
namespace {

using test::EntriesBelow;
using test::ReadFileBytes;
using test::TestFolder;
using Strings = std::vector<std::string>;

class HttpDownload : public ::testing::Test {
protected:
    void SetUp() override {
        served.write("logs/big.bin", big);
        served.write("logs/a.log", "alpha\n");
        served.write("other/a.log", "another alpha\n");
        served.write("other/.hidden.log", "hidden\n");
    }

    void StartServer(const Strings& extra = {}) {
        Strings arguments{"--root", served.path()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        server = std::make_unique<test::TServerProcess>("http_server.py", arguments);
        ASSERT_GT(server->Port(), 0) << "the HTTP test server did not start";
    }

    uint8_t Download(const std::string& path) {
        return http.DownloadFile(login, "127.0.0.1:" + std::to_string(server->Port()) + "/" + path, work.path(), files,
                                 names);
    }

    TestFolder served;
    TestFolder work;
    const std::string big = test::RandomBytes(3 * 1024 * 1024 + 17, 11);
    std::unique_ptr<test::TServerProcess> server;
    TRemoteLogin login;
    TdmHTTP http;
    TLocalNames names;
    Strings files;
    test::TTransferLog log;
};

TEST_F(HttpDownload, BodyArrivesByteIdentical) {
    StartServer();
    log.Bind(http);
    ASSERT_EQ(Download("logs/big.bin"), 0);
    ASSERT_EQ(files, (Strings{work.file("big.bin")}));
    EXPECT_TRUE(ReadFileBytes(work.file("big.bin")) == big);
    EXPECT_EQ(EntriesBelow(work.path()), (Strings{"big.bin"}));
    EXPECT_EQ(log.Statuses(), (Strings{"HTTP Downloading : big.bin", "HTTP Connected", "HTTP Disconnected"}));
    const std::vector<int> values = log.Values();
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 100);
}

TEST_F(HttpDownload, LocalNamesAreSafeAndNeverReused) {
    StartServer();
    ASSERT_EQ(Download("logs/a.log?session=1#top"), 0);
    ASSERT_EQ(Download("other/a.log"), 0);
    ASSERT_EQ(Download("other/.hidden.log"), 0);
    EXPECT_EQ(files, (Strings{work.file("a.log"), work.file("a(2).log"), work.file("hidden.log")}));
    EXPECT_EQ(ReadFileBytes(work.file("a.log")), "alpha\n");
    EXPECT_EQ(ReadFileBytes(work.file("a(2).log")), "another alpha\n");
    EXPECT_EQ(EntriesBelow(work.path()), (Strings{"a(2).log", "a.log", "hidden.log"}));
}

TEST_F(HttpDownload, BasicAuthentication) {
    StartServer({"--user", "web", "--password", "pa:ss"});
    EXPECT_EQ(Download("logs/a.log"), 2);
    login.UserName = "web";
    login.Password = "wrong";
    EXPECT_EQ(Download("logs/a.log"), 2);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
    login.Password = "pa:ss";
    ASSERT_EQ(Download("logs/a.log"), 0);
    EXPECT_EQ(ReadFileBytes(work.file("a.log")), "alpha\n");
}

TEST_F(HttpDownload, ErrorAnswersAndUnreachableServersGiveTwoAndNoFile) {
    StartServer();
    EXPECT_EQ(Download("logs/missing.log"), 2);
    EXPECT_EQ(http.DownloadFile(login, "127.0.0.1", work.path(), files, names), 2);

    // A port nobody listens on: bind one, then let it go.
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    EXPECT_EQ(http.DownloadFile(login, "127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/a.log", work.path(),
                                files, names),
              2);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
}

TEST_F(HttpDownload, CancelOfASlowTransferTakesNothingMore) {
    StartServer();
    log.Bind(http);
    // Several reports in, the transfer is waiting for the server's next trickle.
    const test::TCancelOutcome outcome = test::CancelFromAnotherThread(
        http, log, [this] { return log.Reports() >= 5; }, [this] { return Download("slow/huge.log"); });
    EXPECT_EQ(outcome.Result, 1);
    // Cancel woke the waiting transfer and it took nothing more from the server.
    EXPECT_LE(outcome.ReportsAfterCancel, 1);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty()) << "no partial file, no temporary file";
}

TEST_F(HttpDownload, WhatTheServerAnsweredIsNamed) {
    StartServer();
    const std::string at = "http://127.0.0.1:" + std::to_string(server->Port()) + "/";
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"status/404/a.log", "The HTTP server answered 404 Not Found for '" + at + "status/404/a.log'."},
        {"status/401/a.log", "The HTTP server answered 401 Unauthorized for '" + at + "status/401/a.log'."},
        {"status/500/a.log", "The HTTP server answered 500 Internal Server Error for '" + at + "status/500/a.log'."},
        {"logs/missing.log", "The HTTP server answered 404 File not found for '" + at + "logs/missing.log'."},
        {"loop/a.log", "The HTTP server answered '" + at + "loop/a.log' with a redirect loop (more than 5 redirects)."},
        {"redirect/6/logs/a.log",
         "The HTTP server answered '" + at + "redirect/6/logs/a.log' with a redirect loop (more than 5 redirects)."},
        // A redirect that ends at an error names the final answer.
        {"redirect/2/status/503/a.log",
         "The HTTP server answered 503 Service Unavailable for '" + at + "redirect/2/status/503/a.log'."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Download(c.path), 2) << c.path;
        EXPECT_EQ(http.FailureText(), c.message) << c.path;
    }
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty());

    // Up to five redirects are followed; the file takes the name the user asked for.
    ASSERT_EQ(Download("redirect/5/logs/a.log"), 0);
    EXPECT_EQ(http.FailureText(), "");
    EXPECT_EQ(files, (Strings{work.file("a.log")}));
    EXPECT_EQ(ReadFileBytes(work.file("a.log")), "alpha\n");
}

TEST_F(HttpDownload, UnreachableServerSaysNothingMoreThanTheEngine) {
    EXPECT_EQ(http.DownloadFile(login, "127.0.0.1:1/a.log", work.path(), files, names), 2);
    EXPECT_EQ(http.FailureText(), "");
}

TEST_F(HttpDownload, ATransferTooSlowForTheStallTimeFailsAndLeavesNothing) {
    StartServer();
    TTransferLimits limits;
    limits.StallTime = std::chrono::seconds(1);
    http.SetTransferLimits(limits);
    log.Bind(http);
    EXPECT_EQ(Download("drip/200/access.log"), 2);
    EXPECT_EQ(http.FailureText(), "The HTTP server sent 'http://127.0.0.1:" + std::to_string(server->Port()) +
                                      "/drip/200/access.log' slower than 1 KiB a second for 1 second; the download "
                                      "was stopped.");
    EXPECT_GT(log.Reports(), 0) << "the transfer had begun";
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty()) << "no partial file, no temporary file";

    // A transfer that is fast enough is left alone (a wider window, so a busy machine's pause
    // cannot fail it).
    limits.StallTime = std::chrono::seconds(5);
    http.SetTransferLimits(limits);
    ASSERT_EQ(Download("logs/big.bin"), 0);
    EXPECT_TRUE(ReadFileBytes(work.file("big.bin")) == big);
}

TEST_F(HttpDownload, ADownloadThatWouldEatIntoTheFreeSpaceReserveStopsWithAWriteError) {
    StartServer();
    TTransferLimits limits;
    limits.FreeSpace = [](const std::string&) { return int64_t{10} * 1024 * 1024; };
    limits.FreeSpaceReserve = int64_t{8} * 1024 * 1024;  // room for 2 MiB; the body is 3 MiB
    http.SetTransferLimits(limits);
    EXPECT_EQ(Download("logs/big.bin"), 2);
    EXPECT_EQ(http.FailureText(), "Could not write the file '" + work.file("big.bin") +
                                      "'.\r\nThe work folder would keep less than 8 MiB free.");
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty()) << "the partial file is removed";

    limits.FreeSpaceReserve = int64_t{6} * 1024 * 1024;
    http.SetTransferLimits(limits);
    ASSERT_EQ(Download("logs/big.bin"), 0);
    EXPECT_EQ(http.FailureText(), "");
    EXPECT_TRUE(ReadFileBytes(work.file("big.bin")) == big);
}

TEST_F(HttpDownload, CancelEndsADripUnderTheProductLimits) {
    StartServer();
    log.Bind(http);
    const test::TCancelOutcome outcome = test::CancelFromAnotherThread(
        http, log, [this] { return log.Reports() >= 3; }, [this] { return Download("drip/200/access.log"); });
    EXPECT_EQ(outcome.Result, 1);
    // The drip under the product's 60 s stall time still ends at Cancel, taking nothing more.
    EXPECT_LE(outcome.ReportsAfterCancel, 1);
    EXPECT_EQ(http.FailureText(), "");
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
}

}  // namespace
}  // namespace brindle
