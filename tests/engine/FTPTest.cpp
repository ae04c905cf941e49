#include <gtest/gtest.h>

#include "engine/FTP_dm.h"
#include "support/TestFolder.h"
#include "support/servers/ServerProcess.h"
#include "support/servers/TransferLog.h"

namespace brindle {
namespace {

using test::EntriesBelow;
using test::ReadFileBytes;
using test::TestFolder;
using Strings = std::vector<std::string>;

class FtpDownload : public ::testing::Test {
protected:
    // Served tree: logs/ holds two logs, a text file, a sub-folder whose name matches "*.log"
    // and a deeper folder; the root holds one log.
    void SetUp() override {
        served.write("top.log", "top\n");
        served.write("logs/a.log", "alpha\n");
        served.write("logs/b.log", "bravo\n");
        served.write("logs/notes.txt", "not a log\n");
        served.write("logs/old.log/inner.log", "inside a folder\n");
        served.write("logs/deep/c.log", "charlie\n");
        served.write("other/a.log", "another alpha\n");
        served.write("other/.hidden.log", "hidden\n");
        served.write("big/big.bin", big);
    }

    void StartServer(int throttle = 0) {
        Strings arguments{"--root", served.path(), "--user", "loguser", "--password", "s3cret"};
        if (throttle > 0) arguments.insert(arguments.end(), {"--throttle", std::to_string(throttle)});
        server = std::make_unique<test::TServerProcess>("ftp_server.py", arguments);
        ASSERT_GT(server->Port(), 0) << "the FTP test server did not start";
        login.Port = server->Port();
    }

    uint8_t Download(const std::string& path) {
        return ftp.DownloadFiles(login, "127.0.0.1/" + path, work.path(), files, names);
    }

    TestFolder served;
    TestFolder work;
    const std::string big = test::RandomBytes(5 * 1024 * 1024 + 123, 7);
    std::unique_ptr<test::TServerProcess> server;
    TRemoteLogin login{"loguser", "s3cret", 0, true};
    TdmFTP ftp;
    TLocalNames names;
    Strings files;
    test::TTransferLog log;
};

TEST_F(FtpDownload, MaskPicksMatchingFilesOfTheNamedFolderOnly) {
    StartServer();
    log.Bind(ftp);
    ASSERT_EQ(Download("logs/*.log"), 0);
    EXPECT_EQ(files, (Strings{work.file("a.log"), work.file("b.log")}));
    EXPECT_EQ(ReadFileBytes(work.file("a.log")), "alpha\n");
    EXPECT_EQ(ReadFileBytes(work.file("b.log")), "bravo\n");
    EXPECT_EQ(EntriesBelow(work.path()), (Strings{"a.log", "b.log"}));
    EXPECT_EQ(log.Statuses(), (Strings{"FTP Connected", "FTP Downloading : a.log", "FTP Downloading : b.log",
                                       "FTP Downloading : old.log", "Skipped : old.log", "FTP Disconnected"}));
    EXPECT_FALSE(log.StatusValueNonZero());

    files.clear();
    ASSERT_EQ(Download("*.log"), 0);
    EXPECT_EQ(files, (Strings{work.file("top.log")}));
    files.clear();
    ASSERT_EQ(Download("logs/deep/c.lo?"), 0);
    EXPECT_EQ(files, (Strings{work.file("c.log")}));
    files.clear();
    ASSERT_EQ(Download("logs//notes.txt"), 0);
    EXPECT_EQ(files, (Strings{work.file("notes.txt")}));
}

TEST_F(FtpDownload, LocalNamesAreSafeAndNeverReusedInARun) {
    StartServer();
    work.write("a.log", "left from an earlier run\n");
    ASSERT_EQ(Download("logs/a.log"), 0);
    ASSERT_EQ(Download("other/*.log"), 0);
    EXPECT_EQ(files, (Strings{work.file("a.log"), work.file("hidden.log"), work.file("a(2).log")}));
    EXPECT_EQ(ReadFileBytes(work.file("hidden.log")), "hidden\n");
    EXPECT_EQ(ReadFileBytes(work.file("a.log")), "alpha\n");
    EXPECT_EQ(ReadFileBytes(work.file("a(2).log")), "another alpha\n");
}

class FtpModes : public FtpDownload, public ::testing::WithParamInterface<bool> {};

TEST_P(FtpModes, LargeFileArrivesByteIdentical) {
    StartServer();
    login.Passive = GetParam();
    log.Bind(ftp);
    ASSERT_EQ(Download("big/*"), 0);
    ASSERT_EQ(files, (Strings{work.file("big.bin")}));
    EXPECT_TRUE(ReadFileBytes(work.file("big.bin")) == big);
    const std::vector<int> values = log.Values();
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.back(), 100);
    for (const std::string& text : log.ProgressTexts()) EXPECT_EQ(text, "FTP Downloading : big.bin");
}

INSTANTIATE_TEST_SUITE_P(PassiveAndActive, FtpModes, ::testing::Values(true, false));

TEST_F(FtpDownload, MaskMatchingNothingIsNoFileAndNoError) {
    StartServer();
    EXPECT_EQ(Download("logs/*.gz"), 0);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
}

TEST_F(FtpDownload, FailuresGiveTwo) {
    StartServer();
    log.Bind(ftp);
    // Without any "/" there is no mask: nothing is attempted at all.
    EXPECT_EQ(ftp.DownloadFiles(login, "127.0.0.1", work.path(), files, names), 2);
    EXPECT_TRUE(log.Statuses().empty());
    EXPECT_EQ(Download("missing/*.log"), 2);
    login.Password = "wrong";
    EXPECT_EQ(Download("logs/*.log"), 2);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
}

TEST_F(FtpDownload, RefusalsNameTheServersReply) {
    StartServer();
    struct Case {
        std::string path;
        std::string password;
        std::string message;
    };
    const Case cases[] = {
        {"missing/*.log", "s3cret",
         "The FTP server answered 550 No such file or directory for 'ftp://127.0.0.1/missing/*.log'."},
        {"logs/*.log", "wrong", "The FTP server answered 530 Authentication failed for 'ftp://127.0.0.1/logs/*.log'."},
    };
    for (const Case& c : cases) {
        login.Password = c.password;
        EXPECT_EQ(Download(c.path), 2) << c.path;
        EXPECT_EQ(ftp.FailureText(), c.message) << c.path;
    }
    EXPECT_TRUE(files.empty());
    // A success afterwards carries no stale reason.
    login.Password = "s3cret";
    ASSERT_EQ(Download("logs/a.log"), 0);
    EXPECT_EQ(ftp.FailureText(), "");
}

TEST_F(FtpDownload, ATransferTooSlowForTheStallTimeFailsAndLeavesNothing) {
    StartServer(200);
    TTransferLimits limits;
    limits.StallTime = std::chrono::seconds(1);
    ftp.SetTransferLimits(limits);
    EXPECT_EQ(Download("big/*"), 2);
    EXPECT_EQ(ftp.FailureText(),
              "The FTP server sent 'ftp://127.0.0.1/big/big.bin' slower than 1 KiB a second for 1 second; the download "
              "was stopped.");
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty()) << "no partial file, no temporary file";
}

TEST_F(FtpDownload, ADownloadThatWouldEatIntoTheFreeSpaceReserveStopsWithAWriteError) {
    StartServer();
    TTransferLimits limits;
    limits.FreeSpace = [](const std::string&) { return int64_t{10} * 1024 * 1024; };
    limits.FreeSpaceReserve = int64_t{6} * 1024 * 1024;  // room for 4 MiB; the file is 5 MiB
    ftp.SetTransferLimits(limits);
    // The small logs fit and stay; the large one stops the call.
    ASSERT_EQ(Download("logs/a.log"), 0);
    EXPECT_EQ(Download("big/big.bin"), 2);
    EXPECT_EQ(ftp.FailureText(), "Could not write the file '" + work.file("big.bin") +
                                     "'.\r\nThe work folder would keep less than 6 MiB free.");
    EXPECT_EQ(files, (Strings{work.file("a.log")}));
    EXPECT_EQ(EntriesBelow(work.path()), (Strings{"a.log"})) << "the partial file is removed";
}

TEST_F(FtpDownload, CancelFromAnotherThreadStopsTheTransfer) {
    StartServer(256 * 1024);
    log.Bind(ftp);
    const test::TCancelOutcome outcome = test::CancelFromAnotherThread(
        ftp, log, [this] { return log.Highest() > 0; }, [this] { return Download("big/big.bin"); });
    EXPECT_EQ(outcome.Result, 1);
    // The transfer stopped at Cancel: far from the whole file, and no more data was taken.
    EXPECT_LE(outcome.ReportsAfterCancel, 1);
    EXPECT_LT(log.Highest(), 100);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(EntriesBelow(work.path()).empty()) << "no partial file, no temporary file";
}

TEST_F(FtpDownload, CancelFromInsideTheProgressCallback) {
    StartServer(256 * 1024);
    log.onProgress = [this](int value) {
        if (value > 0) ftp.Cancel();
    };
    log.Bind(ftp);
    EXPECT_EQ(Download("big/big.bin"), 1);
    EXPECT_TRUE(EntriesBelow(work.path()).empty());
    // The next call starts afresh.
    log.onProgress = nullptr;
    EXPECT_EQ(Download("logs/a.log"), 0);
}

TEST(FtpMask, StarsAndQuestionMarks) {
    struct Case {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.log", "access.log", true},
        {"*.log", "access.log.gz", false},
        {"*.log", ".log", true},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*a*b*", "xxaybzz", true},
        {"*a*b", "ab_a", false},
        {"ex[1].log", "ex[1].log", true},
        {"ex[1].log", "ex1.log", false},
        {"*.LOG", "a.log", false},
        {"access*", "access", true},
        {"**x", "x", true},
    };
    for (const Case& c : cases) EXPECT_EQ(detail::MatchesMask(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

}  // namespace
}  // namespace brindle
