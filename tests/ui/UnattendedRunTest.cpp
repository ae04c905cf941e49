// The built program as cron runs it: no screen, "/p=... /c". Whatever happens it must end
// on its own, with its messages on standard error and a status that tells how it went.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/AppPaths.h"
#include "core/Profiles_u.h"
#include "support/ProgramRun.h"
#include "support/TestFolder.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

struct TSite {
    std::string LogFile;  // empty: the first sample log
    std::string AutoExportFile;  // empty: no automatic export (a CSV one otherwise)
    bool DNSLookup = false;
};

void WriteProfiles(const std::string& user, const TSite& site) {
    TProfiles list;
    list.Ver = "2.20";
    auto profile = std::make_unique<TProfile>();
    profile->Name = "Site";
    const std::string log = site.LogFile.empty() ? AppPaths::SampleDir() + "sample1.log" : site.LogFile;
    profile->LogFiles.Add({"file://", log, "", "", 21, 0, 1});
    profile->DNSLookup = site.DNSLookup ? 1 : 0;
    if (!site.AutoExportFile.empty()) {
        profile->AutoExport = 1;
        profile->AutoExportType = 3;
        profile->AutoExportFile = site.AutoExportFile;
    }
    list.Profiles.Add(std::move(profile));
    ASSERT_TRUE(list.SaveToFile(user + "Profiles.xml"));
}

TEST(UnattendedRun, EndsOnItsOwnWithTheMessageOnStandardErrorAndAStatus) {
    ASSERT_TRUE(fs::is_regular_file(test::ProgramPath())) << test::ProgramPath();
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> messages;  // lines expected in the output
        bool exportWritten = false;
    };
    const Case cases[] = {
        {"a log that is not valid",
         {"/s", "/p=Site", "/c"},
         1,
         {"Error: The file '<home>junk.log' does not contain valid log file data.",
          "The log file could be corrupt or it could have an invalid format."}},
        {"an export folder that cannot be created",
         {"/s", "/p=Site", "/c"},
         1,
         {"Warning: There was an error creating the directory '<home>blocker/sub'."}},
        {"no such profile", {"/s", "/p=Elsewhere", "/c"}, 1, {"Error: There is no profile named 'Elsewhere'."}},
        {"a document that cannot be opened",
         {"/s", "/o=<home>gone.bnl", "/c"},
         1,
         {"Error: Could not open the file '<home>gone.bnl'."}},
        {"success", {"/s", "/p=Site", "/c"}, 0, {}, true},
        // Not silent: a start-up error and the question after the export are printed, and the
        // question is answered without opening anything.
        {"success with questions",
         {"/p=Site", "/c"},
         0,
         {"Error: Could not load the file '<home>user/Options.xml'.",
          "You should reinstall the product to ensure proper file placement.",
          "Question: The CSV report has been exported successfully.",
          "Would you like to open it now using default program?", "Answered No (no screen to ask on)."},
         true},
        // Files kept for the next run that cannot be written: said, and the run goes on.
        {"a settings file that cannot be written",
         {"/s", "/p=Site", "/c"},
         0,
         {"Error: Could not write the file '<home>user/settings.ini'.", "Is a directory."},
         true},
        {"a DNS cache that cannot be written",
         {"/s", "/p=Site", "/c"},
         0,
         {"Error: Could not write the file '<home>user/Data/dns.dat'.", "Is a directory."},
         true},
        {"a file-size limit while exporting",
         {"/s", "/p=Site", "/c"},
         1,
         {"Error: Cannot write the file \"<home>exports/site.csv\".", "File too large."}},
    };
    for (const Case& c : cases) {
        test::TestFolder home;
        const std::string user = home.path() + "user/";
        fs::create_directories(user);
        const std::string what = c.what;
        TSite site;
        site.AutoExportFile = home.path() + "exports/site.csv";
        test::TProgramRunOptions options;
        options.Deadline = std::chrono::seconds(60);
        if (what == "a log that is not valid") site.LogFile = home.write("junk.log", "this is not a log\nnor this\n");
        if (what == "an export folder that cannot be created") {
            home.write("blocker", "a file where a folder should be");
            site.AutoExportFile = home.path() + "blocker/sub/site.csv";
        }
        if (what == "a file-size limit while exporting") {
            options.FileSizeLimit = 4096;
            home.write("exports/site.csv", "earlier");
        }
        if (what == "success with questions") home.write("user/Options.xml", "<DATA");
        if (what == "a settings file that cannot be written") fs::create_directories(user + "settings.ini/kept");
        if (what == "a DNS cache that cannot be written") {
            fs::create_directories(user + "Data/dns.dat/kept");
            site.DNSLookup = true;
            // Only this machine's own address: nothing may leave the machine in a test.
            site.LogFile = home.write("local.log",
                                      "127.0.0.1 - - [05/Mar/2007:07:58:56 +0100] \"GET / HTTP/1.1\" 200 7 \"-\" "
                                      "\"Mozilla/5.0\"\n");
        }
        WriteProfiles(user, site);

        const std::string logFile = home.file("run.log");
        std::vector<std::string> arguments = c.arguments;
        for (std::string& argument : arguments)
            if (const std::size_t at = argument.find("<home>"); at != std::string::npos)
                argument.replace(at, 6, home.path());
        const test::TProgramRun run = test::RunBuiltProgram(user, arguments, logFile, options);
        const std::string output = ReadFileBytes(logFile);
        ASSERT_TRUE(run.Ended) << what << ": still running after 60 s\n" << output;
        EXPECT_EQ(run.Signal, 0) << what;
        EXPECT_EQ(run.ExitStatus, c.status) << what << "\n" << output;
        for (std::string line : c.messages) {
            for (std::size_t at; (at = line.find("<home>")) != std::string::npos;) line.replace(at, 6, home.path());
            EXPECT_NE(output.find(line + "\n"), std::string::npos) << what << ": " << line << "\n" << output;
        }
        EXPECT_EQ(output.find('\r'), std::string::npos) << what;
        if (c.status == 0) {
            EXPECT_EQ(output.find("Error: The"), std::string::npos) << what << "\n" << output;
        }
        if (what.ends_with("cannot be written")) {
            const std::string in = what.find("settings") != std::string::npos ? "settings.ini" : "Data/dns.dat";
            EXPECT_TRUE(fs::is_directory(user + in + "/kept")) << what;
        }
        if (c.exportWritten) {
            EXPECT_TRUE(fs::is_regular_file(site.AutoExportFile)) << what;
        }
        if (what == "a file-size limit while exporting") {
            EXPECT_EQ(ReadFileBytes(site.AutoExportFile), "earlier");
            EXPECT_EQ(std::distance(fs::directory_iterator(home.path() + "exports"), fs::directory_iterator()), 1)
                << "the export's temporary file is left";
        }
        // The run's own Tmp folder goes with it in every case.
        EXPECT_TRUE(fs::is_empty(user + "Tmp")) << what;
    }
}

}  // namespace
}  // namespace brindle
