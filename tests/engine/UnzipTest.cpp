#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Unzip_dm.h"
#include "support/TestFolder.h"
#include "support/servers/ServerProcess.h"
#include "support/servers/TransferLog.h"

namespace brindle {
namespace {

using test::EntriesBelow;
using test::ReadFileBytes;
using test::TestFolder;
using Strings = std::vector<std::string>;

// The work folder is a sub-folder of a sandbox, so that an escape would land in the sandbox.
class Unpack : public ::testing::Test {
protected:
    std::string Make(const std::string& kind, const std::string& name, const Strings& members) {
        Strings arguments{kind, work + name};
        arguments.insert(arguments.end(), members.begin(), members.end());
        EXPECT_TRUE(test::RunHelper("make_archive.py", arguments)) << name;
        return work + name;
    }
    void Put(const std::string& name, const std::string& bytes) const { sandbox.write("work/" + name, bytes); }
    std::string Relative(const std::string& path) const { return path.substr(work.size()); }
    Strings RelativeMembers() const {
        Strings relative;
        for (const std::string& member : members) relative.push_back(Relative(member));
        return relative;
    }

    TestFolder sandbox;
    const std::string work = [this] {
        std::filesystem::create_directory(sandbox.file("work"));
        return sandbox.file("work/");
    }();
    TdmUnzip unzip;
    TLocalNames names;
    Strings members;
};

TEST_F(Unpack, ZipKeepsSubFolders) {
    const std::string archive =
        Make("zip", "logs.zip", {"2007/", "2007/jan.log=january\n", "top.log=top\n", "2007/feb/x.log=x\n"});
    ASSERT_TRUE(unzip.ExtractArchive(archive, work, members, names));
    EXPECT_EQ(RelativeMembers(), (Strings{"2007/jan.log", "top.log", "2007/feb/x.log"}));
    EXPECT_EQ(ReadFileBytes(work + "2007/jan.log"), "january\n");
    EXPECT_EQ(ReadFileBytes(work + "2007/feb/x.log"), "x\n");
}

TEST_F(Unpack, GzipNamesItsFileAfterTheStoredNameOrTheArchive) {
    const Strings gz[] = {{"access.log.gz", "-"}, {"web.gz", "web-2007.log"}, {"UPPER.LOG.GZ", "UnKnOwN"}};
    for (const Strings& g : gz) Make("gz", g[0], {g[1], "line of " + g[0] + "\n"});
    for (const Strings& g : gz) ASSERT_TRUE(unzip.ExtractArchive(work + g[0], work, members, names)) << g[0];
    EXPECT_EQ(RelativeMembers(), (Strings{"access.log", "web-2007.log", "UPPER.LOG"}));
    EXPECT_EQ(ReadFileBytes(work + "access.log"), "line of access.log.gz\n");
    EXPECT_EQ(ReadFileBytes(work + "UPPER.LOG"), "line of UPPER.LOG.GZ\n");
}

TEST_F(Unpack, TarInsideGzip) {
    const std::string archive = Make("targz", "logs.tar.gz", {"site/", "site/a.log=a\n", "site/b/c.log=c\n"});
    ASSERT_TRUE(unzip.ExtractArchive(archive, work, members, names));
    EXPECT_EQ(RelativeMembers(), (Strings{"site/a.log", "site/b/c.log"}));
    EXPECT_EQ(ReadFileBytes(work + "site/b/c.log"), "c\n");
}

TEST_F(Unpack, NothingIsWrittenOutsideTheWorkFolder) {
    const std::string zip = Make("zip", "evil.zip",
                                 {"../zip-escape.log=z\n", "/tmp/brindle-absolute.log=a\n", "a/../../../deep.log=d\n",
                                  ".hidden=h\n", "..=dots\n"});
    const std::string tgz =
        Make("targz", "evil.tgz", {"symlink:link=..", "link/through-link.log=l\n", "../tar-escape.log=t\n"});
    // Tools store a base name only; a hostile header is made by hand.
    std::string gz = ReadFileBytes(Make("gz", "named.gz", {"XXXXXXgz-escape.log", "g\n"}));
    gz.replace(gz.find("XXXXXX"), 6, "../../");
    Put("named.gz", gz);
    ASSERT_TRUE(unzip.ExtractArchive(zip, work, members, names));
    ASSERT_TRUE(unzip.ExtractArchive(tgz, work, members, names));
    ASSERT_TRUE(unzip.ExtractArchive(work + "named.gz", work, members, names));
    EXPECT_EQ(RelativeMembers(), (Strings{"zip-escape.log", "tmp/brindle-absolute.log", "a/deep.log", "hidden",
                                          "unnamed", "link/through-link.log", "tar-escape.log", "gz-escape.log"}));
    EXPECT_FALSE(std::filesystem::exists("/tmp/brindle-absolute.log"));
    EXPECT_EQ(
        EntriesBelow(sandbox.path()),
        (Strings{"work/", "work/a/", "work/a/deep.log", "work/evil.tgz", "work/evil.zip", "work/gz-escape.log",
                 "work/hidden", "work/link/", "work/link/through-link.log", "work/named.gz", "work/tar-escape.log",
                 "work/tmp/", "work/tmp/brindle-absolute.log", "work/unnamed", "work/zip-escape.log"}));
}

TEST_F(Unpack, SameNamesNeverOverwriteAndArchivesAreUnpackedOnce) {
    const std::string first = Make("zip", "one.zip", {"a.log=first\n", "a.log=second\n", "one.zip=inner\n"});
    const std::string second = Make("targz", "two.tar.gz", {"a.log=third\n"});
    ASSERT_TRUE(unzip.ExtractArchive(first, work, members, names));
    ASSERT_TRUE(unzip.ExtractArchive(second, work, members, names));
    ASSERT_TRUE(unzip.ExtractArchive(first, work, members, names));  // named again: adds nothing
    EXPECT_EQ(RelativeMembers(), (Strings{"a.log", "a(2).log", "one(2).zip", "a(3).log"}));
    EXPECT_EQ(ReadFileBytes(work + "a.log"), "first\n");
    EXPECT_EQ(ReadFileBytes(work + "a(2).log"), "second\n");
    EXPECT_EQ(ReadFileBytes(work + "a(3).log"), "third\n");
    EXPECT_EQ(ReadFileBytes(work + "one(2).zip"), "inner\n");
    EXPECT_NE(ReadFileBytes(first), "inner\n");
}

TEST_F(Unpack, DamagedArchivesFail) {
    Make("gz", "good.log.gz", {"-", std::string(100000, 'x')});
    std::string gz = ReadFileBytes(work + "good.log.gz");
    Put("cut.log.gz", gz.substr(0, gz.size() / 2));
    gz[2] = 9;  // no such compression method
    Put("method.log.gz", gz);
    Put("plain.log.gz", "just text, not gzip\n");
    Put("noise.zip", test::RandomBytes(4096, 3));
    const std::string zip = ReadFileBytes(Make("zip", "ok.zip", {"a.log=" + std::string(5000, 'a')}));
    Put("cut.zip", zip.substr(0, zip.size() - 40));  // the members' data is whole, the index is not
    for (const char* name : {"cut.log.gz", "method.log.gz", "plain.log.gz", "noise.zip", "cut.zip", "absent.zip"}) {
        Strings found;
        EXPECT_FALSE(unzip.ExtractArchive(work + name, work, found)) << name;
    }
    // No half-written member is left under any name.
    for (const std::string& entry : EntriesBelow(work)) EXPECT_EQ(entry.find(".tmp-"), std::string::npos) << entry;
    EXPECT_FALSE(std::filesystem::exists(work + "cut.log"));
    EXPECT_FALSE(std::filesystem::exists(work + "method.log"));
}

TEST(LocalNames, UntrustedNamesBecomeSafeComponents) {
    const std::pair<const char*, const char*> components[] = {
        {"access.log", "access.log"}, {"../x.log", "_x.log"}, {"..", "unnamed"}, {".bashrc", "bashrc"}, {"a\\b", "a_b"},
        {"tab\tname", "tab_name"},    {"", "unnamed"},        {"a/b", "a_b"},
    };
    for (const auto& [in, out] : components) EXPECT_EQ(TLocalNames::SafeComponent(in), out) << in;
    const std::pair<const char*, const char*> paths[] = {
        {"a/b/c.log", "a/b/c.log"}, {"/etc/passwd", "etc/passwd"}, {"a\\..\\..\\b", "a/b"},
        {"./a//b/", "a/b"},         {"../../", "unnamed"},         {"...x/y", "x/y"},
    };
    for (const auto& [in, out] : paths) EXPECT_EQ(TLocalNames::SafeRelativePath(in), out) << in;
    const std::string longName = std::string(300, 'n') + ".log.gz";
    const std::string shortened = TLocalNames::SafeComponent(longName);
    EXPECT_EQ(shortened.size(), 200u);
    EXPECT_TRUE(shortened.ends_with("n.log.gz"));
}

}  // namespace
}  // namespace brindle
