#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/Options_u.h"
#include "core/TextRepair_u.h"
#include "core/XMLOptions_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using brindle::test::DataPath;
using brindle::test::ReadFileBytes;
using brindle::test::TestFolder;

namespace {

TOptions Defaults() {
    TOptions options;
    options.LoadDefaults();
    return options;
}

// What a saved file reads back as: the header is always the current one.
TOptions AsWritten(TOptions options) {
    options.Description = "Brindle Analyzer Options";
    options.Ver = "1.40";
    return options;
}

// A non-default object whose texts need escaping.
TOptions Special() {
    TOptions options;
    options.OSs.Add({"Win <NT> & \"co\" 'x'", "A\tB\nC\rD"});
    options.OSs.Add({"", ""});
    options.OSs.Add({"  padded  ", " "});
    options.Spiders.Add({"bot />", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"});
    options.SEs.Add({"s.", "a=", "", "c=", "Name & <more>"});
    options.Files.Add({"HTM", 2});
    options.Files.Add({"odd", 255});
    options.NbThread = INT32_MAX;
    options.CacheDays = INT32_MIN;
    options.Timeout = -1;
    options.AskBefore = 0;
    options.Export = {"fr", "Jos\xC3\xA9 <O'Brien>", "A & B\r\nC", 0, 2, -3, 0, " "};
    options.SessionLength = 9999;
    options.RemoveTxtQuestionRequestURL = 0;
    options.RemoveTxtQuestionReferrerURL = 2;
    options.RemoveTxtSharpRequestURL = 3;
    options.RemoveTxtSharpReferrerURL = 4;
    options.ConvertLowerCaseRequestURL = 5;
    options.ConvertLowerCaseReferrerURL = 6;
    options.ShowEmptyReports = 7;
    options.ShowGridLines = 8;
    return options;
}

void ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// Replaces the whole element <Name>...</Name> and the line it stands on.
void ReplaceElement(std::string& text, const std::string& name, const std::string& to) {
    const std::size_t from = text.find("  <" + name + ">");
    const std::size_t end = text.find("</" + name + ">\n");
    ASSERT_TRUE(from != std::string::npos && end != std::string::npos) << name;
    text.replace(from, end + name.size() + 4 - from, to);
}

bool XmlLintAccepts(const std::string& file) {
    const std::string command = "xmllint --noout '" + file + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

bool HaveXmlLint() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

}  // namespace

TEST(XMLOptions, DefaultsMatchTheGoldenFile) {
    TestFolder folder;
    const TOptions options = Defaults();
    ASSERT_TRUE(options.SaveToFile(folder.file("Options.xml")));
    EXPECT_EQ(ReadFileBytes(folder.file("Options.xml")), ReadFileBytes(DataPath("golden/Options.default.xml")));
    EXPECT_EQ(options.Ver, "1.00");  // saving leaves the fields alone
    if (HaveXmlLint()) {
        EXPECT_TRUE(XmlLintAccepts(folder.file("Options.xml")));
    }

    TOptions loaded;
    ASSERT_TRUE(loaded.LoadFromFile(DataPath("golden/Options.default.xml")));
    EXPECT_EQ(loaded, AsWritten(Defaults()));
}

TEST(XMLOptions, RoundTripKeepsEveryValue) {
    TestFolder folder;
    const TOptions original = Special();
    ASSERT_TRUE(original.SaveToFile(folder.file("Options.xml")));
    if (HaveXmlLint()) {
        EXPECT_TRUE(XmlLintAccepts(folder.file("Options.xml")));
    }
    TOptions loaded = Defaults();
    ASSERT_TRUE(loaded.LoadFromFile(folder.file("Options.xml")));
    EXPECT_EQ(loaded, AsWritten(original));
    EXPECT_TRUE(loaded.Browsers.IsEmpty());  // an empty list is written and read as empty
    EXPECT_EQ(loaded.Browsers.FindName("Mozilla/4.0 (compatible; MSIE 6.0)"), "");
}

TEST(XMLOptions, TextsAreRepairedOnTheWayOut) {
    TestFolder folder;
    TOptions options;
    options.Browsers.Add({"caf\xE9", "a\x01z"});
    options.Export.MSWordAuthor = std::string("nul\0end\x1F", 8);
    options.Export.LanguageID = "\x80";
    ASSERT_TRUE(options.SaveToFile(folder.file("Options.xml")));
    if (HaveXmlLint()) {
        EXPECT_TRUE(XmlLintAccepts(folder.file("Options.xml")));
    }
    TOptions loaded;
    ASSERT_TRUE(loaded.LoadFromFile(folder.file("Options.xml")));
    EXPECT_EQ(loaded.Browsers[0].ID, "caf\xC3\xA9");
    EXPECT_EQ(loaded.Browsers[0].Name, "a\xEF\xBF\xBDz");
    EXPECT_EQ(loaded.Export.MSWordAuthor,
              "nul\xEF\xBF\xBD"
              "end\xEF\xBF\xBD");
    EXPECT_EQ(loaded.Export.LanguageID, "\xE2\x82\xAC");
}

TEST(XMLOptions, RandomTextsRoundTripAsRepaired) {
    std::mt19937 random(20240607);
    const auto randomText = [&] {
        std::string text(random() % 12, ' ');
        for (char& c : text) {
            const unsigned pick = random() % 4;
            c = static_cast<char>(pick == 0   ? random() % 256
                                  : pick == 1 ? " \t\r\n&<>\"'"[random() % 9]
                                              : 'a' + random() % 26);
        }
        return text;
    };
    TestFolder folder;
    for (int round = 0; round < 40; ++round) {
        TOptions options = Defaults();
        TOptions expected = AsWritten(options);
        options.OSs[0] = {randomText(), randomText()};
        expected.OSs[0] = {RepairXmlText(options.OSs[0].ID), RepairXmlText(options.OSs[0].Name)};
        options.Export.CSVSeparatorChar = randomText();
        expected.Export.CSVSeparatorChar = RepairXmlText(options.Export.CSVSeparatorChar);
        options.Export.MSWordCompany = randomText();
        expected.Export.MSWordCompany = RepairXmlText(options.Export.MSWordCompany);
        ASSERT_TRUE(options.SaveToFile(folder.file("Options.xml")));
        TOptions loaded;
        ASSERT_TRUE(loaded.LoadFromFile(folder.file("Options.xml")));
        ASSERT_EQ(loaded, expected) << "round " << round;
    }
}

// Each case edits the saved text of a known object; a failed load must leave the target as
// it was, a successful one must read the edited value.
TEST(XMLOptions, MissingValues) {
    TOptions base = Defaults();
    base.SessionLength = 45;
    base.NbThread = 12;
    base.RemoveTxtQuestionReferrerURL = 1;
    base.ConvertLowerCaseRequestURL = 1;
    base.ShowEmptyReports = 1;
    base.ShowGridLines = 1;
    const std::string baseText = xmloptions::WriteOptionsXml(base);

    struct Case {
        const char* what;
        std::string from;  // empty: To replaces the element Element
        std::string to;
        std::function<bool(const TOptions&)> check;  // null: the load fails
        std::string element;
    };
    const Case cases[] = {
        {"guarded switch absent", "    <ShowGridLines>1</ShowGridLines>\n", "",
         [](const TOptions& o) { return o.ShowGridLines == 0 && o.ShowEmptyReports == 1; }, ""},
        {"guarded switch empty", "<ConvertLowerCaseRequestURL>1<", "<ConvertLowerCaseRequestURL><",
         [](const TOptions& o) { return o.ConvertLowerCaseRequestURL == 0; }, ""},
        {"guarded switch not a number", "<ShowEmptyReports>1<", "<ShowEmptyReports>yes<",
         [](const TOptions& o) { return o.ShowEmptyReports == 0; }, ""},
        {"integer with blanks and sign", "<NbThread>12<", "<NbThread> +7\n<",
         [](const TOptions& o) { return o.NbThread == 7; }, ""},
        {"text absent", "    <LanguageID>en</LanguageID>\n", "",
         [](const TOptions& o) { return o.Export.LanguageID.empty(); }, ""},
        {"text in CDATA", "<LanguageID>en<", "<LanguageID><![CDATA[d<e]]><",
         [](const TOptions& o) { return o.Export.LanguageID == "d<e"; }, ""},
        {"FileType keeps its low eight bits", "FileType=\"3\"", "FileType=\"300\"",
         [](const TOptions& o) { return o.Files.GetFileType("arc") == 44; }, ""},
        {"empty list", "", "  <Browsers></Browsers>\n",
         [](const TOptions& o) { return o.Browsers.IsEmpty() && o.OSs.Count() == 23; }, "Browsers"},
        {"absent list", "", "", [](const TOptions& o) { return o.SEs.IsEmpty(); }, "SEs"},
        {"items of another name", "<OS ", "<Os ", [](const TOptions& o) { return o.OSs.Count() == 22; }, ""},
        {"Ver absent", " Ver=\"1.40\"", "", [](const TOptions& o) { return o.Ver.empty(); }, ""},
        {"SessionLength absent", "    <SessionLength>45</SessionLength>\n", "", nullptr, ""},
        {"SessionLength not a number", "<SessionLength>45<", "<SessionLength>4.5<", nullptr, ""},
        {"NbThread absent", "    <NbThread>12</NbThread>\n", "", nullptr, ""},
        {"CacheDays empty", "<CacheDays>30<", "<CacheDays><", nullptr, ""},
        {"Timeout beyond 32 bits", "<Timeout>5000<", "<Timeout>2147483648<", nullptr, ""},
        {"AskBefore trailing text", "<AskBefore>1<", "<AskBefore>1x<", nullptr, ""},
        {"MSWordPageBreak absent", "    <MSWordPageBreak>1</MSWordPageBreak>\n", "", nullptr, ""},
        {"MSWordDescription absent", "    <MSWordDescription>1</MSWordDescription>\n", "", nullptr, ""},
        {"HTMLDescription absent", "    <HTMLDescription>1</HTMLDescription>\n", "", nullptr, ""},
        {"CSVSeparatorType absent", "    <CSVSeparatorType>1</CSVSeparatorType>\n", "", nullptr, ""},
        {"File without FileType", " FileType=\"2\"", "", nullptr, ""},
        {"DNSLookup absent", "", "", nullptr, "DNSLookup"},
        {"Misc absent", "", "", nullptr, "Misc"},
        {"integer leaf holding an element", "<NbThread>12<", "<NbThread><b/>12<", nullptr, ""},
        {"text leaf holding an element", "<LanguageID>en<", "<LanguageID><b>en</b><", nullptr, ""},
        {"guarded leaf holding an element", "<ShowGridLines>1<", "<ShowGridLines><b/><", nullptr, ""},
        {"not well-formed", "</DATA>", "</DAT>", nullptr, ""},
        {"second top-level element", "</DATA>\n", "</DATA>\n<DATA Ver=\"9\"/>\n", nullptr, ""},
        {"text after the document", "</DATA>\n", "</DATA>\ntrailing words\n", nullptr, ""},
        {"CDATA after the document", "</DATA>\n", "</DATA>\n<![CDATA[x]]>\n", nullptr, ""},
        {"comment and blanks after the document", "</DATA>\n", "</DATA>\n<!-- kept -->\n\n  \n",
         [](const TOptions& o) { return o.SessionLength == 45; }, ""},
    };
    TOptions sentinel = Special();
    sentinel.Ver = "sentinel";
    for (const Case& c : cases) {
        std::string text = baseText;
        if (c.from.empty()) {
            ReplaceElement(text, c.element, c.to);
        } else {
            ReplaceOnce(text, c.from, c.to);
        }
        TOptions target = sentinel;
        const bool loaded = xmloptions::ReadOptionsXml(text, target);
        if (c.check) {
            EXPECT_TRUE(loaded) << c.what;
            if (loaded) {
                EXPECT_TRUE(c.check(target)) << c.what;
            }
        } else {
            EXPECT_FALSE(loaded) << c.what;
            EXPECT_EQ(target, sentinel) << c.what;
        }
    }
}

TEST(XMLOptions, FilesThatCannotBeReadFailTheLoad) {
    TestFolder folder;
    const TOptions sentinel = Special();
    for (const std::string& name : {std::string("missing.xml"), folder.write("empty.xml", ""),
                                    folder.write("text.xml", "not xml at all"), folder.path()}) {
        TOptions target = sentinel;
        EXPECT_FALSE(target.LoadFromFile(name)) << name;
        EXPECT_EQ(target, sentinel) << name;
    }
}

TEST(XMLOptions, HandWrittenFileReplacesTheBuiltInRows) {
    TOptions options = Defaults();
    ASSERT_TRUE(options.LoadFromFile(DataPath("options/handwritten.xml")));
    EXPECT_EQ(options.Description, "Hand written");
    EXPECT_EQ(options.Ver, "1.30");
    ASSERT_EQ(options.OSs.Count(), 2u);
    EXPECT_EQ(options.OSs[1], (TRecOSType{"Linux", "Linux & co"}));
    EXPECT_EQ(options.OSs.FindName("Windows NT 5.2"), "Windows NT");  // the built-in rows are gone
    ASSERT_EQ(options.Browsers.Count(), 1u);
    EXPECT_EQ(options.Browsers[0], (TRecBrowserType{"Opera", ""}));
    EXPECT_TRUE(options.Spiders.IsEmpty());
    ASSERT_EQ(options.SEs.Count(), 1u);
    EXPECT_EQ(options.SEs[0], (TRecSEType{"google.", "q=", "", "", "Google"}));
    ASSERT_EQ(options.Files.Count(), 2u);
    EXPECT_EQ(options.Files.GetFileType("HTML"), 2);
    EXPECT_EQ(options.NbThread, 5);
    EXPECT_EQ(options.CacheDays, 3);
    EXPECT_EQ(options.Timeout, 1000);
    EXPECT_EQ(options.AskBefore, 0);
    EXPECT_EQ(options.Export, (TRecExportOptions{"", "Me", "", 0, 1, 0, 0, "|"}));
    EXPECT_EQ(options.SessionLength, 20);
    EXPECT_EQ(options.RemoveTxtQuestionRequestURL, 1);
    EXPECT_EQ(options.RemoveTxtSharpReferrerURL, 0);  // absent in this older file
    EXPECT_EQ(options.ShowGridLines, 0);
}

TEST(XMLOptions, FailedSaveKeepsTheEarlierFile) {
    TestFolder folder;
    const TOptions options = Special();
    const std::string old = "earlier contents\n";

    // A folder that is a regular file: nothing can be created below it, not even by root.
    const std::string notFolder = folder.write("plain", "x");
    EXPECT_FALSE(options.SaveToFile(notFolder + "/Options.xml"));
    EXPECT_EQ(ReadFileBytes(notFolder), "x");

    // A name that fits but leaves no room for the temporary name beside it.
    const std::string longName = folder.write(std::string(250, 'o'), old);
    EXPECT_FALSE(options.SaveToFile(longName));
    EXPECT_EQ(ReadFileBytes(longName), old);

    // The disk "fills up" in the middle of the write.
    const std::string target = folder.write("Options.xml", old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = Defaults().SaveToFile(target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved1);
    EXPECT_EQ(ReadFileBytes(target), old);

    // A folder without write permission (root writes anyway, so only checked for others).
    if (geteuid() != 0) {
        const std::string locked = folder.path() + "locked";
        const std::string lockedFile = folder.write("locked/Options.xml", old);
        chmod(locked.c_str(), 0555);
        EXPECT_FALSE(options.SaveToFile(lockedFile));
        chmod(locked.c_str(), 0755);
        EXPECT_EQ(ReadFileBytes(lockedFile), old);
    }

    // No temporary file is left behind.
    for (const std::string& name : FolderEntries(folder.path()))
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}
