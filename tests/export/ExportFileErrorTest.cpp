// An export that runs out of room names the system's reason, keeps the earlier file and
// leaves no temporary file in the target folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include "ExportSamples.h"
#include "core/ReportTxt_u.h"
#include "export/ExportCSV_u.h"
#include "export/ExportWord_u.h"
#include "export/ExportXML_u.h"
#include "support/FileSizeLimit.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace brindle::test;

namespace {

std::string WordTemplate() { return std::string(BRINDLE_SOURCE_DIR) + "/resources/Template/word/msw80.dot"; }

const TReportSet kAllSampleReports{62, 39, 35, 31, 21, 10, 36, 57, 20, 137};

}  // namespace

TEST(ExportFileError, AFullDiskNamesTheReasonAndLeavesTheEarlierFile) {
    using TExport = std::function<void(SampleAnalysis&, const std::string& target, const std::string& tmp)>;
    struct Case {
        const char* name;
        TExport run;
    };
    const Case cases[] = {
        {"out.csv", [](SampleAnalysis& a, const std::string& target,
                       const std::string&) { TExportCSV(a.Source()).Execute(kAllSampleReports, target, ","); }},
        {"out.xml", [](SampleAnalysis& a, const std::string& target,
                       const std::string&) { TExportXML(a.Source()).Execute(kAllSampleReports, target); }},
        {"out.docx",
         [](SampleAnalysis& a, const std::string& target, const std::string& tmp) {
             TExportWord(a.Source()).Execute(kAllSampleReports, BuiltInReportTxt(), WordTemplate(), target, tmp);
         }},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        folder.write(c.name, "earlier");
        SampleAnalysis a = MakeSampleAnalysis();
        const std::string target = folder.file(c.name);
        // Small enough that every export fails, the Word one already at its tagged text.
        const std::string message = RunWithFileSizeLimit(1024, [&] {
            try {
                c.run(a, target, folder.file("tmpmsw.txt"));
            } catch (const EExportFile& e) {
                return std::string(e.what());
            }
            return std::string("no error");
        });
        const std::string written = std::string(c.name) == "out.docx" ? folder.file("tmpmsw.txt") : target;
        EXPECT_EQ(message, "Cannot write the file \"" + written + "\".\r\n" + std::strerror(EFBIG) + ".") << c.name;
        EXPECT_EQ(ReadFileBytes(target), "earlier") << c.name;
        EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{c.name}) << c.name;
    }
}
