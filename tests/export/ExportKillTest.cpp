// A process killed in the middle of an export leaves nothing beside the target: the file
// being written has no name until it replaces the target. Where the file system refuses
// such files, the named temporary it leaves is one the start-up clean-up removes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ExportSamples.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportWord_u.h"
#include "export/ExportXML_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

const TReportSet kAllSampleReports{62, 39, 35, 31, 21, 10, 36, 57, 20, 137};

std::string WordTemplate() { return std::string(BRINDLE_SOURCE_DIR) + "/resources/Template/word/msw80.dot"; }

enum class TChildEnd { Paused, Finished, Broken };

// Forks a child that runs Export and stops for good at its StopAt-th progress call, telling
// the parent through a pipe; the parent kills it there. Finished: the export ended before.
using TKillableExport = std::function<void(const TProgressInfoEvent& onProgress)>;

TChildEnd RunAndKillAt(int stopAt, const TKillableExport& run) {
    int ends[2];
    if (pipe(ends) != 0) return TChildEnd::Broken;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        int calls = 0;
        const auto onProgress = [&](const void*, int, const std::string&) {
            if (++calls < stopAt) return;
            const char paused = 'p';
            if (write(ends[1], &paused, 1) != 1) _exit(3);
            for (;;) pause();
        };
        try {
            run(onProgress);
        } catch (...) {
            _exit(2);
        }
        const char finished = 'f';
        _exit(write(ends[1], &finished, 1) == 1 ? 0 : 3);
    }
    close(ends[1]);
    char said = 0;
    const bool heard = read(ends[0], &said, 1) == 1;
    close(ends[0]);
    if (heard && said == 'p') kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (heard && said == 'p' && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return TChildEnd::Paused;
    if (heard && said == 'f' && WIFEXITED(status) && WEXITSTATUS(status) == 0) return TChildEnd::Finished;
    return TChildEnd::Broken;
}

}  // namespace

TEST(ExportKill, AKilledExportLeavesNothingBesideTheTarget) {
    struct Case {
        const char* name;
        std::function<void(SampleAnalysis&, const std::string& target, const std::string& scratch, TTempKind kind,
                           const TProgressInfoEvent&)>
            run;
    };
    const Case cases[] = {
        {"out.csv",
         [](SampleAnalysis& a, const std::string& target, const std::string&, TTempKind kind,
            const TProgressInfoEvent& progress) {
             TExportCSV exporter(a.Source());
             exporter.OnProgress = progress;
             exporter.TempKind = kind;
             exporter.Execute(kAllSampleReports, target, ",");
         }},
        {"out.docx",
         [](SampleAnalysis& a, const std::string& target, const std::string& scratch, TTempKind kind,
            const TProgressInfoEvent& progress) {
             TExportWord exporter(a.Source());
             exporter.OnProgress = progress;
             exporter.TempKind = kind;
             exporter.Execute(kAllSampleReports, BuiltInReportTxt(), WordTemplate(), target, scratch);
         }},
        {"out.xml",
         [](SampleAnalysis& a, const std::string& target, const std::string&, TTempKind kind,
            const TProgressInfoEvent& progress) {
             TExportXML exporter(a.Source());
             exporter.OnProgress = progress;
             exporter.TempKind = kind;
             exporter.Execute(kAllSampleReports, target);
         }},
    };
    for (const Case& c : cases) {
        for (const TTempKind kind : {TTempKind::Anonymous, TTempKind::Named}) {
            const bool named = kind == TTempKind::Named;
            int kills = 0;
            int leftovers = 0;
            bool finished = false;
            // Every progress call is a point where the export holds its file open: kill at each.
            for (int stopAt = 1; stopAt < 100 && !finished; ++stopAt) {
                SCOPED_TRACE(std::string(c.name) + (named ? " (named)" : "") + " killed at progress call " +
                             std::to_string(stopAt));
                TestFolder folder;
                TestFolder scratch;
                folder.write(c.name, "earlier");
                folder.write("notes.txt", "the user's");
                SampleAnalysis a = MakeSampleAnalysis();
                const TChildEnd end = RunAndKillAt(stopAt, [&](const TProgressInfoEvent& progress) {
                    c.run(a, folder.file(c.name), scratch.file("tmpmsw.txt"), kind, progress);
                });
                ASSERT_NE(end, TChildEnd::Broken);
                finished = end == TChildEnd::Finished;
                if (finished) {
                    EXPECT_NE(ReadFileBytes(folder.file(c.name)), "earlier");
                } else {
                    ++kills;
                    EXPECT_EQ(ReadFileBytes(folder.file(c.name)), "earlier");
                }
                const std::vector<std::string> expected{"notes.txt", c.name};
                if (named) {
                    // At most the one temporary, which the clean-up takes and nothing else.
                    const std::size_t entries = FolderEntries(folder.path()).size();
                    EXPECT_LE(entries, expected.size() + 1);
                    leftovers += entries > expected.size() ? 1 : 0;
                    EXPECT_EQ(RemoveStaleTempFilesOf(folder.file(c.name)), entries > expected.size() ? 1 : 0);
                }
                std::vector<std::string> left = FolderEntries(folder.path());
                std::sort(left.begin(), left.end());
                EXPECT_EQ(left, expected);
                EXPECT_EQ(ReadFileBytes(folder.file("notes.txt")), "the user's");
            }
            EXPECT_TRUE(finished) << c.name;
            EXPECT_GE(kills, 3) << c.name;
            // Killed while the file was open, the named form did leave its temporary.
            if (named) {
                EXPECT_GE(leftovers, 2) << c.name;
            }
        }
    }
}
