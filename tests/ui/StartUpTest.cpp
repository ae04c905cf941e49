#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/BrokenFile_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/Registre_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "core/XmlFile_u.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"
#include "ui/CommandLine_u.h"
#include "ui/StartUp_u.h"
#include "ui/UiServices.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadFileBytes;

const TSeconds kNow = EncodeDateTime(2024, 5, 6, 7, 8, 9);
constexpr const char* kBackupSuffix = ".broken-20240506-070809";
constexpr const char* kNotXml = "<DATA Ver=\"2.20\"><Profiles>";

class TRecordingUi : public brindle::test::TScriptedUi {
public:
    std::vector<std::string> Others;

    void ShowError(const std::string& text) override { Errors.push_back(text); }
    void ShowWarning(const std::string& text) override { Others.push_back(text); }
    void ShowInformation(const std::string& text) override { Others.push_back(text); }
    bool AskYesNo(const std::string& text, TQuestionKind) override {
        Others.push_back(text);
        return false;
    }
};

// The message names why the file could not be read: the system's reason or the parse error.
std::string LoadError(const std::string& file, const std::string& reason) {
    return "Could not load the file '" + file +
           "'.\r\nYou should reinstall the product to ensure proper file placement.\r\n" + reason + ".";
}

const std::string kNotXmlReason = "Start-end tags mismatch at offset 26";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Every test runs in a user folder of its own; the program's folders follow it.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("BRINDLE_ANALYZER_HOME")) savedHome_ = home;
        setenv("BRINDLE_ANALYZER_HOME", folder.path().c_str(), 1);
        paths = {AppPaths::ProfilesFile(), AppPaths::OptionsFile(), AppPaths::LanguagesDir(), AppPaths::SampleDir()};
        reg = std::make_unique<TRegData>(AppPaths::SettingsFile());
        reg->LoadSettings();
    }
    void TearDown() override {
        if (savedHome_)
            setenv("BRINDLE_ANALYZER_HOME", savedHome_->c_str(), 1);
        else
            unsetenv("BRINDLE_ANALYZER_HOME");
    }

    // A start after an earlier run of this version.
    void MarkInstalled() { reg->Ver = "2.30"; }

    TStartUpResult Start(const std::vector<std::string>& arguments = {}, const TShowTipsFunc& tips = {}) {
        TStartUp startUp(profiles, options, languages, *reg, ui);
        EXPECT_TRUE(startUp.CreateFolders());
        return startUp.Run(ParseCommandLine(arguments), paths, tips, kNow);
    }

    test::TestFolder folder;
    TStartUpPaths paths;
    std::unique_ptr<TRegData> reg;
    TProfiles profiles;
    TOptions options;
    TLstReportTxt languages;
    TRecordingUi ui;

private:
    std::optional<std::string> savedHome_;
};

TEST_F(StartUpTest, FirstStartWritesCurrentFilesWithSamples) {
    const TStartUpResult result = Start();
    EXPECT_TRUE(result.FirstRunOfNewVersion);
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_TRUE(ui.Others.empty());
    EXPECT_EQ(reg->Ver, "2.30");
    EXPECT_TRUE(FolderExists(AppPaths::DataDir()));
    EXPECT_TRUE(FolderExists(AppPaths::DataLogDir()));
    EXPECT_TRUE(FolderExists(AppPaths::LanguagesDir()));
    EXPECT_TRUE(FolderExists(AppPaths::TmpDir()));
    EXPECT_EQ(languages.Count(), 1);

    EXPECT_EQ(ReadFileBytes(paths.OptionsFile), ReadFileBytes(DataPath("golden/Options.default.xml")));
    TProfiles written;
    ASSERT_TRUE(written.LoadFromFile(paths.ProfilesFile));
    EXPECT_EQ(written.Ver, "2.20");
    ASSERT_EQ(written.Profiles.Count(), 2u);
    EXPECT_EQ(written.Profiles, profiles.Profiles);
    struct stat info {};
    ASSERT_EQ(stat(paths.ProfilesFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // The sample locations name the installed logs.
    EXPECT_TRUE(FileExists(profiles.Profiles[0].LogFiles[0].LogFileURL));
    EXPECT_TRUE(FileExists(profiles.Profiles[1].LogFiles[0].LogFileURL));
    EXPECT_EQ(Replaced(ReadFileBytes(paths.ProfilesFile), paths.SampleDir, "@SAMPLE@/"),
              ReadFileBytes(DataPath("startup/Profiles.samples.xml")));
}

TEST_F(StartUpTest, LaterStartChangesNothing) {
    Start();
    const std::string profilesBytes = ReadFileBytes(paths.ProfilesFile);
    const std::string optionsBytes = ReadFileBytes(paths.OptionsFile);

    TProfiles freshProfiles;
    TOptions freshOptions;
    TStartUp again(freshProfiles, freshOptions, languages, *reg, ui);
    const TStartUpResult result = again.Run(TCommandLine{}, paths, {}, kNow);
    EXPECT_FALSE(result.FirstRunOfNewVersion);
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(freshProfiles.Profiles.Count(), 2u);
    EXPECT_EQ(ReadFileBytes(paths.ProfilesFile), profilesBytes);
    EXPECT_EQ(ReadFileBytes(paths.OptionsFile), optionsBytes);
}

TEST_F(StartUpTest, NewerVersionAddsOnlyMissingSamples) {
    reg->Ver = "2.10";
    fs::create_directories(folder.path());
    TProfiles own;
    auto mine = std::make_unique<TProfile>();
    mine->Name = "Sample1";
    own.Profiles.Add(std::move(mine));
    ASSERT_TRUE(own.SaveToFile(paths.ProfilesFile));

    EXPECT_TRUE(Start().FirstRunOfNewVersion);
    ASSERT_EQ(profiles.Profiles.Count(), 2u);
    EXPECT_TRUE(profiles.Profiles[0].LogFiles.IsEmpty());
    EXPECT_EQ(profiles.Profiles[1].Name, "Sample2");
}

TEST_F(StartUpTest, InstalledVersionText) {
    struct TCase {
        const char* Stored;
        bool FirstRun;
    };
    const TCase cases[] = {{"", true},      {"abc", true},  {"2.2", true},  {"2,30", true},
                           {"2.30", false}, {"2.3", false}, {"3.00", false}};
    for (const TCase& c : cases) {
        reg->Ver = c.Stored;
        TProfiles p;
        TOptions o;
        TStartUp startUp(p, o, languages, *reg, ui);
        EXPECT_EQ(startUp.Run(TCommandLine{}, paths, {}, kNow).FirstRunOfNewVersion, c.FirstRun) << c.Stored;
        EXPECT_EQ(reg->Ver, c.FirstRun ? std::string("2.30") : std::string(c.Stored));
    }
}

TEST_F(StartUpTest, MissingFilesAreReportedAfterTheFirstRun) {
    MarkInstalled();
    Start();
    EXPECT_EQ(ui.Errors, (std::vector<std::string>{LoadError(paths.ProfilesFile, std::strerror(ENOENT)),
                                                   LoadError(paths.OptionsFile, std::strerror(ENOENT))}));
    // The empty list and the defaults are written at once.
    TProfiles written;
    ASSERT_TRUE(written.LoadFromFile(paths.ProfilesFile));
    EXPECT_TRUE(written.Profiles.IsEmpty());
    EXPECT_EQ(ReadFileBytes(paths.OptionsFile), ReadFileBytes(DataPath("golden/Options.default.xml")));
    EXPECT_FALSE(FileExists(paths.ProfilesFile + kBackupSuffix));
}

TEST_F(StartUpTest, UnreadableProfilesAreKeptAndReported) {
    MarkInstalled();
    folder.write("Profiles.xml", kNotXml);
    const TStartUpResult result = Start();

    const std::string backup = paths.ProfilesFile + kBackupSuffix;
    EXPECT_EQ(result.ProfilesBackup.State, TBrokenFileState::Moved);
    EXPECT_EQ(result.ProfilesBackup.BackupName, backup);
    EXPECT_EQ(ReadFileBytes(backup), kNotXml);
    ASSERT_EQ(ui.Errors.size(), 2u);  // and the options file is missing
    EXPECT_EQ(ui.Errors[0], LoadError(paths.ProfilesFile, kNotXmlReason) + "\r\n\r\nThe unreadable file was kept as '" +
                                backup + "'.");
    TProfiles written;
    ASSERT_TRUE(written.LoadFromFile(paths.ProfilesFile));
    EXPECT_EQ(written.Ver, "2.20");
}

// A file that is whole but has a second document glued on is as unreadable as a cut one.
TEST_F(StartUpTest, OptionsWithTextAfterTheDocumentAreKeptAndReplaced) {
    MarkInstalled();
    Start();
    const std::string good = ReadFileBytes(paths.OptionsFile);
    ASSERT_FALSE(good.empty());
    TOptions loaded;
    ASSERT_TRUE(loaded.LoadFromFile(paths.OptionsFile));
    const std::string glued = good + "<DATA Ver=\"1.40\"/>\n";
    folder.write("Options.xml", glued);
    ui.Errors.clear();

    TOptions fresh;
    TStartUp startUp(profiles, fresh, languages, *reg, ui);
    ASSERT_TRUE(startUp.CreateFolders());
    const TStartUpResult result = startUp.Run(ParseCommandLine(std::vector<std::string>{}), paths, {}, kNow);
    const std::string backup = paths.OptionsFile + kBackupSuffix;
    EXPECT_EQ(result.OptionsBackup.State, TBrokenFileState::Moved);
    EXPECT_EQ(ReadFileBytes(backup), glued);
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(ui.Errors[0], LoadError(paths.OptionsFile, std::string(kXmlTopNotWhole)) +
                                "\r\n\r\nThe unreadable file was kept as '" + backup + "'.");
    EXPECT_EQ(ReadFileBytes(paths.OptionsFile), good);
}

TEST_F(StartUpTest, LeftoversOfKilledRunsAreRemoved) {
    // A process id that no longer runs: a child that has ended and been reaped.
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const std::string tmp = folder.path() + "Tmp/";
    const std::string deadTmp = folder.write("Tmp/" + std::to_string(dead) + "/tmpmsw.txt", "left");
    const std::string liveTmp = folder.write("Tmp/" + std::to_string(getppid()) + "/tmpmsw.txt", "in use");
    const std::string ownTmp = folder.write("Tmp/" + std::to_string(getpid()) + "/page.html", "mine");
    const std::string otherTmp = folder.write("Tmp/keep/file", "not a process folder");
    const std::string saves[] = {
        folder.write("Options.xml.tmp-Ab12Cd", "cut"),
        folder.write("Profiles.xml.tmp-000000", "cut"),
        folder.write("Data/dns.dat.tmp-xyzXYZ", "cut"),
        folder.write("DataLog/Site/access.log.tmp-q1w2e3", "cut"),
        folder.write("DataLog/Site/site/b/c.log.tmp-q1w2e3", "cut while unpacking"),
    };
    const std::string kept[] = {
        folder.write("DataLog/Site/access.log", "log"),
        folder.write("Languages/de.lng.tmp-q1w2e3", "not a folder the program saves in"),
        folder.write("notes.tmp-abcdef.txt", "not of the pattern"),
    };

    MarkInstalled();
    Start();
    EXPECT_FALSE(fs::exists(fs::path(deadTmp).parent_path()));
    EXPECT_TRUE(fs::exists(liveTmp));
    EXPECT_TRUE(fs::exists(ownTmp));
    EXPECT_TRUE(fs::exists(otherTmp));
    for (const std::string& save : saves) EXPECT_FALSE(fs::exists(save)) << save;
    for (const std::string& file : kept) EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_TRUE(fs::is_directory(AppPaths::TmpDir()));
}

// Leaves the named temporary file of a save of Target that a kill cut short.
void KillWhileSaving(const std::string& target) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ends[0]);
        TAtomicFile file;
        const bool open = file.Open(target, 0666, TTempKind::Named) && file.Write("half");
        const char said = open ? 'o' : 'x';
        if (write(ends[1], &said, 1) != 1) _exit(3);
        for (;;) pause();
    }
    close(ends[1]);
    char said = 0;
    const bool heard = read(ends[0], &said, 1) == 1;
    close(ends[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(heard && said == 'o') << target;
}

// The automatic exports' targets are the user's folders: only the stale temporaries of
// those exports go from there, never a file of the user's.
TEST_F(StartUpTest, TemporariesOfKilledAutomaticExportsAreRemoved) {
    TProfiles list;
    list.Ver = "2.20";
    const auto add = [&](const std::string& name, std::uint8_t type, const std::string& target) {
        auto profile = std::make_unique<TProfile>();
        profile->Name = name;
        profile->AutoExport = 1;
        profile->AutoExportType = type;
        profile->AutoExportFile = target;
        list.Profiles.Add(std::move(profile));
    };
    add("CSV", 3, folder.path() + "exports/site.csv");
    add("HTML", 2, folder.path() + "html");
    add("Relative", 4, "mine/site.xml");
    ASSERT_TRUE(list.SaveToFile(paths.ProfilesFile));
    folder.write("exports/site.csv", "earlier");
    KillWhileSaving(folder.path() + "exports/site.csv");
    fs::create_directories(folder.path() + "mine");
    KillWhileSaving(folder.path() + "mine/site.xml");
    const std::string saves[] = {
        folder.write("html/index.html.tmp-Ab12Cd", "cut"),
        folder.write("html/nodes.js.tmp-000000", "cut"),
    };
    const std::string kept[] = {
        folder.write("exports/notes.txt", "the user's"),
        folder.write("exports/other.csv.tmp-Ab12Cd", "another target's: not this export's"),
        folder.write("exports/site.csv.tmp-short", "not of the pattern"),
        folder.write("html/page.html", "the user's"),
        folder.write("html/sub/index.html.tmp-Ab12Cd", "below the folder"),
        folder.write("elsewhere/site.csv.tmp-Ab12Cd", "no export writes here"),
    };
    const auto entries = [](const std::string& path) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    };
    ASSERT_EQ(entries(folder.path() + "exports"), 5u);
    ASSERT_EQ(entries(folder.path() + "mine"), 1u);

    MarkInstalled();
    Start();
    for (const std::string& save : saves) EXPECT_FALSE(fs::exists(save)) << save;
    for (const std::string& file : kept) EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(entries(folder.path() + "exports"), 4u);
    EXPECT_EQ(ReadFileBytes(folder.path() + "exports/site.csv"), "earlier");
    EXPECT_EQ(entries(folder.path() + "mine"), 0u);
    EXPECT_EQ(profiles.Profiles.Count(), 3u);
}

// The message names the folder that could not be made, not the user folder above it.
TEST_F(StartUpTest, AFolderThatCannotBeMadeIsNamed) {
    folder.write("Tmp", "a file where the Tmp folder belongs");
    TStartUp startUp(profiles, options, languages, *reg, ui);
    EXPECT_FALSE(startUp.CreateFolders());
    ASSERT_EQ(ui.Errors.size(), 1u);
    EXPECT_EQ(ui.Errors[0], "Could not create the folder '" + AppPaths::TmpRootDir() + "'.\r\n" +
                                std::make_error_code(std::errc::file_exists).message() + ".");
    EXPECT_TRUE(fs::is_directory(AppPaths::DataDir()));
}

TEST_F(StartUpTest, UnreadableFilesAreKeptSilentlyWithS) {
    MarkInstalled();
    folder.write("Profiles.xml", kNotXml);
    folder.write("Options.xml", "<DATA><Misc/></DATA>");  // well-formed, but SessionLength is missing
    const TStartUpResult result = Start({"/s"});
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_EQ(ReadFileBytes(paths.ProfilesFile + kBackupSuffix), kNotXml);
    EXPECT_EQ(ReadFileBytes(paths.OptionsFile + kBackupSuffix), "<DATA><Misc/></DATA>");
    EXPECT_EQ(result.OptionsBackup.State, TBrokenFileState::Moved);
    EXPECT_EQ(ReadFileBytes(paths.OptionsFile), ReadFileBytes(DataPath("golden/Options.default.xml")));
}

TEST_F(StartUpTest, UnreadableFileIsReportedOnTheFirstRunToo) {
    folder.write("Options.xml", "not xml at all");
    const TStartUpResult result = Start();
    EXPECT_TRUE(result.FirstRunOfNewVersion);
    const std::string backup = paths.OptionsFile + kBackupSuffix;
    EXPECT_EQ(ui.Errors, (std::vector<std::string>{LoadError(paths.OptionsFile, std::string(kXmlTopNotWhole)) +
                                                   "\r\n\r\nThe unreadable file was kept as '" + backup + "'."}));
    EXPECT_EQ(ReadFileBytes(backup), "not xml at all");
    EXPECT_EQ(profiles.Profiles.Count(), 2u);
}

TEST_F(StartUpTest, FileThatCannotBeMovedIsNeverOverwritten) {
    MarkInstalled();
    // The backup name would be longer than a file name may be, so the rename fails.
    const std::string name = std::string(240, 'p') + ".xml";
    paths.ProfilesFile = folder.write(name, kNotXml);
    const TStartUpResult result = Start({}, {});
    EXPECT_EQ(result.ProfilesBackup.State, TBrokenFileState::Failed);
    ASSERT_FALSE(ui.Errors.empty());
    EXPECT_EQ(ui.Errors[0], LoadError(paths.ProfilesFile, kNotXmlReason) +
                                "\r\n\r\nThe unreadable file could not be renamed; it is left as it is and will not "
                                "be overwritten.");
    EXPECT_EQ(ReadFileBytes(paths.ProfilesFile), kNotXml);
}

TEST_F(StartUpTest, FirstRunSavesThatFailAreReportedAndTheValuesKept) {
    const std::string blocker = folder.write("blocker", "a file where a folder should be");
    paths.ProfilesFile = blocker + "/Profiles.xml";
    paths.OptionsFile = blocker + "/Options.xml";
    const TStartUpResult result = Start();
    ASSERT_TRUE(result.FirstRunOfNewVersion);
    const std::string notAFolder = std::strerror(ENOTDIR);
    EXPECT_NE(std::find(ui.Errors.begin(), ui.Errors.end(), WriteFailureText(paths.ProfilesFile, notAFolder)),
              ui.Errors.end());
    EXPECT_NE(std::find(ui.Errors.begin(), ui.Errors.end(), WriteFailureText(paths.OptionsFile, notAFolder)),
              ui.Errors.end());
    EXPECT_EQ(profiles.Profiles.Count(), 2u);  // the samples stay in memory
    EXPECT_FALSE(options.Browsers.IsEmpty());  // the defaults too
}

TEST_F(StartUpTest, SilentStartWithoutAScreenStillLeavesItsTraceOnStandardError) {
    struct TNoScreenUi : TRecordingUi {
        bool ShowsBoxes() const override { return false; }
    } noScreen;
    MarkInstalled();
    folder.write("Profiles.xml", kNotXml);
    TStartUp startUp(profiles, options, languages, *reg, noScreen);
    ASSERT_TRUE(startUp.CreateFolders());
    startUp.Run(ParseCommandLine(std::vector<std::string>{"/s"}), paths, {}, kNow);
    ASSERT_FALSE(noScreen.Errors.empty());
    EXPECT_EQ(noScreen.Errors[0], LoadError(paths.ProfilesFile, kNotXmlReason) +
                                      "\r\n\r\nThe unreadable file was kept as '" + paths.ProfilesFile + kBackupSuffix +
                                      "'.");
}

TEST_F(StartUpTest, OlderFilesAreUpgradedAndSaved) {
    MarkInstalled();
    folder.write("Profiles.xml", ReadFileBytes(DataPath("startup/profiles-1.00.xml")));
    folder.write("Options.xml", ReadFileBytes(DataPath("startup/options-1.20.xml")));
    Start();
    EXPECT_TRUE(ui.Errors.empty());

    TProfiles writtenProfiles;
    ASSERT_TRUE(writtenProfiles.LoadFromFile(paths.ProfilesFile));
    EXPECT_EQ(writtenProfiles.Ver, "2.20");
    TLstProfile upgraded = profiles.Profiles;
    for (std::size_t i = 0; i < upgraded.Count(); ++i) upgraded[i].Obsolete110 = {};  // never written
    EXPECT_EQ(writtenProfiles.Profiles, upgraded);
    ASSERT_EQ(profiles.Profiles.Count(), 2u);
    EXPECT_EQ(profiles.Profiles[0].LogFiles[0].LogFileURL, "ftp.example.com/logs/access.log");

    TOptions writtenOptions;
    ASSERT_TRUE(writtenOptions.LoadFromFile(paths.OptionsFile));
    EXPECT_EQ(writtenOptions.Ver, "1.40");
    EXPECT_GE(writtenOptions.Browsers.IndexOfID("Firebird"), 0);
    EXPECT_EQ(writtenOptions.ShowGridLines, 1);
}

// The names the folder saw files renamed onto, as every save ends; in order.
class TRenameWatch {
public:
    explicit TRenameWatch(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(fd_, 0);
        EXPECT_GE(inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO), 0);
    }
    ~TRenameWatch() { close(fd_); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t got; (got = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0) names.emplace_back(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    int fd_;
};

TEST_F(StartUpTest, EachFileIsWrittenOnceHoweverManyChangesTheStartMakes) {
    struct Case {
        const char* what;
        bool installed;
        const char* profiles;  // fixture to start from; null: none
        const char* options;
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {"a fresh folder", false, nullptr, nullptr, {"Profiles.xml", "Options.xml"}},
        {"older files on the first run",
         false,
         "startup/profiles-1.00.xml",
         "startup/options-1.20.xml",
         {"Profiles.xml", "Options.xml"}},
        {"older options only", true, "startup/Profiles.samples.xml", "startup/options-1.20.xml", {"Options.xml"}},
        {"options missing after the first run", true, "startup/Profiles.samples.xml", nullptr, {"Options.xml"}},
        {"current files after the first run", true, "startup/Profiles.samples.xml", "golden/Options.default.xml", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"Profiles.xml", "Options.xml"}) fs::remove(folder.path() + name);
        reg->Ver = c.installed ? "2.30" : "";
        if (c.profiles) folder.write("Profiles.xml", ReadFileBytes(DataPath(c.profiles)));
        if (c.options) folder.write("Options.xml", ReadFileBytes(DataPath(c.options)));
        profiles = TProfiles();
        options = TOptions();
        ui.Errors.clear();
        const TRenameWatch watch(folder.path());
        Start();
        EXPECT_EQ(watch.Names(), c.written);
        TOptions written;
        EXPECT_TRUE(written.LoadFromFile(paths.OptionsFile));
        EXPECT_EQ(written.Ver, "1.40");
    }
}

TEST_F(StartUpTest, UnknownStoredVersionIsSavedWithoutUpgrade) {
    MarkInstalled();
    folder.write("Profiles.xml",
                 Replaced(ReadFileBytes(DataPath("startup/profiles-1.10.xml")), "Ver=\"1.10\"", "Ver=\"2.05\""));
    Start();
    TProfiles written;
    ASSERT_TRUE(written.LoadFromFile(paths.ProfilesFile));
    EXPECT_EQ(written.Ver, "2.20");
    ASSERT_EQ(written.Profiles.Count(), 1u);
    EXPECT_TRUE(written.Profiles[0].LogFiles.IsEmpty());  // the 1.20 step did not run
}

TEST_F(StartUpTest, TipsStartAfterTheLastOneShown) {
    MarkInstalled();
    std::vector<std::int32_t> shown;
    const TShowTipsFunc tips = [&](std::int32_t first) {
        shown.push_back(first);
        return TTipsOutcome{first + 2, false};
    };
    struct TCase {
        std::int32_t Stored;
        std::int32_t First;
    };
    for (const TCase c : {TCase{0, 1}, TCase{3, 4}, TCase{7, 8}, TCase{8, 1}, TCase{-4, 1}, TCase{2147483647, 1}}) {
        reg->Number = c.Stored;
        reg->StartUp = true;
        shown.clear();
        Start({}, tips);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], c.First) << c.Stored;
        EXPECT_EQ(reg->Number, c.First + 2);
        EXPECT_FALSE(reg->StartUp);
    }
    shown.clear();
    Start({}, tips);  // switched off
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartUpTest, SilentStartSkipsTipsAndMessagesButNotTheRest) {
    int tipsShown = 0;
    const TShowTipsFunc tips = [&](std::int32_t first) {
        ++tipsShown;
        return TTipsOutcome{first, true};
    };
    const TStartUpResult result = Start({"/s"}, tips);
    EXPECT_EQ(tipsShown, 0);
    EXPECT_TRUE(result.FirstRunOfNewVersion);
    EXPECT_EQ(reg->Ver, "2.30");
    EXPECT_EQ(profiles.Profiles.Count(), 2u);

    MarkInstalled();
    fs::remove(paths.OptionsFile);
    TOptions freshOptions;
    TStartUp again(profiles, freshOptions, languages, *reg, ui);
    again.Run(ParseCommandLine(std::vector<std::string>{"/s"}), paths, tips, kNow);
    EXPECT_TRUE(ui.Errors.empty());
    EXPECT_TRUE(FileExists(paths.OptionsFile));
}

TEST_F(StartUpTest, CommandLineActions) {
    struct TCase {
        std::vector<std::string> Arguments;
        std::optional<std::size_t> Profile;
        bool Close;
        std::string Document;
    };
    const TCase cases[] = {
        {{}, std::nullopt, false, ""},
        {{"/p=Sample2"}, 1, false, ""},
        {{"/p=\"Sample2\"", "/c"}, 1, true, ""},
        {{"/p=sample2", "/c"}, std::nullopt, false, ""},  // no such profile: the program stays
        {{"/c"}, std::nullopt, false, ""},
        {{"/o=/tmp/a.bnl", "/p=Sample1", "/c"}, 0, true, "/tmp/a.bnl"},
    };
    for (const TCase& c : cases) {
        profiles = TProfiles();
        const TStartUpResult result = Start(c.Arguments);
        EXPECT_EQ(result.AnalyseProfile, c.Profile);
        EXPECT_EQ(result.CloseAfterAnalysis, c.Close);
        EXPECT_EQ(result.OpenDocument, c.Document);
    }
}

TEST(BrokenFileTest, NamesAndCollisions) {
    EXPECT_EQ(BrokenFileName("/x/Options.xml", EncodeDateTime(2024, 1, 31, 23, 59, 58)),
              "/x/Options.xml.broken-20240131-235958");
    test::TestFolder folder;
    EXPECT_EQ(SetBrokenFileAside(folder.file("none.xml"), kNow).State, TBrokenFileState::Missing);

    const std::string file = folder.file("Profiles.xml");
    std::vector<std::string> backups;
    for (int i = 0; i < 3; ++i) {
        folder.write("Profiles.xml", "try " + std::to_string(i));
        const TBrokenFileBackup backup = SetBrokenFileAside(file, kNow);
        ASSERT_EQ(backup.State, TBrokenFileState::Moved);
        backups.push_back(backup.BackupName);
    }
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(backups[0], file + kBackupSuffix);
    EXPECT_EQ(backups[1], file + kBackupSuffix + "-2");
    EXPECT_EQ(backups[2], file + kBackupSuffix + "-3");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadFileBytes(backups[i]), "try " + std::to_string(i));
}

}  // namespace
}  // namespace brindle
