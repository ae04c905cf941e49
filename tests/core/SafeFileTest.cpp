#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "core/SafeFile_u.h"
#include "support/FileSizeLimit.h"
#include "support/TestFolder.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TestFolder;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return 07777;
    return info.st_mode & 07777;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Restores the process umask whatever the test does.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : old_(umask(mask)) {}
    ~UmaskScope() { umask(old_); }

private:
    mode_t old_;
};

TEST(SafeFile, ModesFollowTheUmaskAndNeverWidenAnExistingFile) {
    struct Case {
        const char* what;
        mode_t umask;
        mode_t mode;  // what the caller asks for at most
        int existing;  // the replaced file's mode; -1: a new file
        mode_t expected;
    };
    const Case cases[] = {
        {"new file, usual umask", 022, 0666, -1, 0644},
        {"new file, group-writable umask", 002, 0666, -1, 0664},
        {"new file, private umask", 077, 0666, -1, 0600},
        {"new private file, open umask", 0, 0600, -1, 0600},
        {"replaced file keeps its own bits", 022, 0666, 0640, 0640},
        {"replaced file keeps a wider umask's bits", 077, 0666, 0664, 0664},
        {"private file replacing a wider one is narrowed", 022, 0600, 0644, 0600},
        {"replaced file loses execute and set-id bits", 022, 0666, 04755, 0644},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        const std::string target = folder.file("Options.xml");
        if (c.existing >= 0) {
            folder.write("Options.xml", "old");
            ASSERT_EQ(chmod(target.c_str(), static_cast<mode_t>(c.existing)), 0);
        }
        {
            UmaskScope mask(c.umask);
            ASSERT_TRUE(WriteFileAtomic(target, "new", c.mode)) << c.what;
        }
        EXPECT_EQ(ModeOf(target), c.expected) << c.what << ": " << std::oct << ModeOf(target);
        EXPECT_EQ(ReadFileBytes(target), "new") << c.what;
    }
}

TEST(SafeFile, SavingThroughASymbolicLinkReplacesTheFileItPointsTo) {
    TestFolder folder;
    const std::string real = folder.write("real/Profiles.xml", "old");
    ASSERT_EQ(chmod(real.c_str(), 0600), 0);
    fs::create_directories(folder.file("user"));
    // A relative link, and a chain of two links.
    fs::create_symlink("../real/Profiles.xml", folder.file("user/Profiles.xml"));
    fs::create_symlink(folder.file("user/Profiles.xml"), folder.file("user/Chain.xml"));

    ASSERT_TRUE(WriteFileAtomic(folder.file("user/Profiles.xml"), "first", 0600));
    EXPECT_TRUE(fs::is_symlink(folder.file("user/Profiles.xml")));
    EXPECT_EQ(ReadFileBytes(real), "first");
    EXPECT_EQ(ModeOf(real), 0600u);

    ASSERT_TRUE(WriteFileAtomic(folder.file("user/Chain.xml"), "second"));
    EXPECT_TRUE(fs::is_symlink(folder.file("user/Chain.xml")));
    EXPECT_TRUE(fs::is_symlink(folder.file("user/Profiles.xml")));
    EXPECT_EQ(ReadFileBytes(real), "second");

    // The temporary file was made beside the real file and nothing is left over.
    EXPECT_EQ(Entries(folder.file("real")), (std::vector<std::string>{"Profiles.xml"}));
    EXPECT_EQ(Entries(folder.file("user")), (std::vector<std::string>{"Chain.xml", "Profiles.xml"}));

    // A dangling link gets its file made where it points.
    fs::create_symlink("made/Options.xml", folder.file("user/Options.xml"));
    fs::create_directories(folder.file("user/made"));
    ASSERT_TRUE(WriteFileAtomic(folder.file("user/Options.xml"), "made"));
    EXPECT_TRUE(fs::is_symlink(folder.file("user/Options.xml")));
    EXPECT_EQ(ReadFileBytes(folder.file("user/made/Options.xml")), "made");
}

TEST(SafeFile, AWriteBeyondTheFileSizeLimitFailsWithTheSystemsReasonAndLeavesNothing) {
    TestFolder folder;
    folder.write("target.csv", "earlier");
    const std::string target = folder.file("target.csv");
    const std::string text = test::RunWithFileSizeLimit(4096, [&] {
        TAtomicFile file;
        if (!file.Open(target)) return std::string("open failed");
        const std::string block(1024, 'x');
        bool written = true;
        for (int i = 0; i < 64 && written; ++i) written = file.Write(block);
        const bool committed = written && file.Commit();
        return std::string(committed ? "committed" : "failed: ") + file.ErrorText();
    });
    EXPECT_EQ(text, std::string("failed: ") + std::strerror(EFBIG));
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(Entries(folder.path()), (std::vector<std::string>{"target.csv"}));
    EXPECT_EQ(WriteFailureText("/x/a.log", std::strerror(ENOSPC)),
              "Could not write the file '/x/a.log'.\r\nNo space left on device.");
}

TEST(SafeFile, TemporaryNames) {
    struct Case {
        const char* name;
        bool temp;
    };
    const Case cases[] = {
        {"Options.xml.tmp-a1B2c3", true},
        {"dns.dat.tmp-ZZZZZZ", true},
        {".tmp-abcdef", false},
        {"Options.xml.tmp-abc12", false},
        {"Options.xml.tmp-abc1234", false},
        {"Options.xml.tmp-abc_12", false},
        {"notes.tmp-abcdef.txt", false},
        {"Options.xml", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsTempFileName(c.name), c.temp) << c.name;

    // Every name a save uses is one of them.
    TestFolder folder;
    TAtomicFile file;
    ASSERT_TRUE(file.Open(folder.file("Profiles.xml"), 0666, TTempKind::Named));
    const std::vector<std::string> names = Entries(folder.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(IsTempFileName(names[0])) << names[0];
}

TEST(SafeFile, StaleTemporaryFilesGoButLiveSavesAndOtherFilesStay) {
    TestFolder folder;
    folder.write("Options.xml", "kept");
    folder.write("Options.xml.tmp-dead01", "stale");
    folder.write("Profiles.xml.tmp-dead02", "stale");
    folder.write("Options.xml.tmp-short", "not ours");
    folder.write("sub/deeper.xml.tmp-dead03", "below: only when asked");
    fs::create_directories(folder.file("dir.tmp-dir001"));
    const std::string outside = folder.write("outside.txt", "kept");
    fs::create_symlink(outside, folder.file("link.tmp-lnk001"));

    TAtomicFile live;
    ASSERT_TRUE(live.Open(folder.file("Live.xml"), 0666, TTempKind::Named));
    ASSERT_TRUE(live.Write("in progress"));

    EXPECT_EQ(RemoveStaleTempFiles(folder.path()), 2);
    std::vector<std::string> left = Entries(folder.path());
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n.starts_with("Live.xml"); }),
              1);
    left.erase(std::remove_if(left.begin(), left.end(), [](const std::string& n) { return n.starts_with("Live.xml"); }),
               left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Options.xml", "Options.xml.tmp-short", "dir.tmp-dir001",
                                              "link.tmp-lnk001", "outside.txt", "sub"}));
    EXPECT_EQ(ReadFileBytes(outside), "kept");
    ASSERT_TRUE(live.Commit());
    EXPECT_EQ(ReadFileBytes(folder.file("Live.xml")), "in progress");
    EXPECT_EQ(RemoveStaleTempFiles(folder.file("missing/")), 0);
    // Below the folder only when asked, and never through a link to another folder.
    TestFolder elsewhere;
    const std::string beyondLink = elsewhere.write("x.log.tmp-abcdef", "not below");
    fs::create_symlink(elsewhere.path(), folder.file("linked"));
    EXPECT_EQ(RemoveStaleTempFiles(folder.path(), true), 1);
    EXPECT_FALSE(fs::exists(folder.file("sub/deeper.xml.tmp-dead03")));
    EXPECT_TRUE(fs::exists(beyondLink));
}

// In a folder of the user's own files only the temporaries of the one target go: its
// stale ones beside the file its link leads to, not a live save's, nothing of another name.
TEST(SafeFile, StaleTemporariesOfOneTargetGoAndNothingElse) {
    TestFolder folder;
    folder.write("real/out.csv", "kept");
    fs::create_symlink(folder.file("real/out.csv"), folder.file("out.csv"));
    folder.write("real/out.csv.tmp-dead01", "stale");
    folder.write("real/out.csv.tmp-Dead02", "stale");
    folder.write("out.csv.tmp-dead03", "beside the link: no save of the target writes here");
    const std::vector<std::string> others = {"out.csv.tmp-dead4",
                                             "out.csv.tmp-dead005",
                                             "out.csv.tmp-dead_6",
                                             "xout.csv.tmp-dead07",
                                             "out.csv.tmp-dead08.txt",
                                             "out.csv",
                                             "notes.txt"};
    for (const std::string& name : others)
        if (name != "out.csv") folder.write("real/" + name, "the user's");
    fs::create_directories(folder.file("real/out.csv.tmp-dir009"));
    const std::string outside = folder.write("outside.txt", "kept");
    fs::create_symlink(outside, folder.file("real/out.csv.tmp-lnk010"));

    TAtomicFile live;
    ASSERT_TRUE(live.Open(folder.file("out.csv"), 0666, TTempKind::Named));
    ASSERT_TRUE(live.Write("in progress"));
    ASSERT_EQ(Entries(folder.file("real")).size(), others.size() + 5);

    EXPECT_EQ(RemoveStaleTempFilesOf(folder.file("out.csv")), 2);
    std::vector<std::string> expected = others;
    expected.push_back("out.csv.tmp-dir009");
    expected.push_back("out.csv.tmp-lnk010");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> left = Entries(folder.file("real"));
    ASSERT_EQ(left.size(), expected.size() + 1) << "the live save's file stays";
    left.erase(std::remove_if(left.begin(), left.end(),
                              [&](const std::string& n) {
                                  return IsTempFileName(n) && n.starts_with("out.csv.tmp-") &&
                                         std::find(expected.begin(), expected.end(), n) == expected.end();
                              }),
               left.end());
    EXPECT_EQ(left, expected);
    EXPECT_TRUE(fs::exists(folder.file("out.csv.tmp-dead03")));
    ASSERT_TRUE(live.Commit());
    EXPECT_EQ(ReadFileBytes(folder.file("real/out.csv")), "in progress");
    EXPECT_EQ(RemoveStaleTempFilesOf(folder.file("missing/out.csv")), 0);
    EXPECT_EQ(RemoveStaleTempFilesOf(folder.path()), 0);
}

}  // namespace
}  // namespace brindle
