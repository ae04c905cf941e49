// Unattended runs of an http:// location: what the server answered reaches standard error.
#include "support/UnattendedDownload.h"

namespace brindle {
namespace {

TEST(UnattendedDownload, TheServersAnswerIsNamedOnStandardError) {
    ASSERT_TRUE(std::filesystem::is_regular_file(test::ProgramPath())) << test::ProgramPath();
    struct Case {
        std::string path;
        std::string message;  // <at> stands for the location's address
        int status;
    };
    const Case cases[] = {
        {"status/500/access.log", "Error: The HTTP server answered 500 Internal Server Error for '<at>'.", 1},
        {"loop/access.log", "Error: The HTTP server answered '<at>' with a redirect loop (more than 5 redirects).", 1},
        {"redirect/2/logs/access.log", "", 0},
    };
    for (const Case& c : cases) {
        const test::TUnattendedDownload run = test::RunUnattendedDownload(c.path, std::chrono::seconds(120));
        ASSERT_TRUE(run.Run.Ended) << c.path << ": still running after 120 s\n" << run.Output;
        EXPECT_EQ(run.Run.ExitStatus, c.status) << c.path << "\n" << run.Output;
        std::string message = c.message;
        if (const size_t at = message.find("<at>"); at != std::string::npos) message.replace(at, 4, run.Address);
        if (!message.empty()) {
            EXPECT_NE(run.Output.find(message + "\n"), std::string::npos) << run.Output;
        }
        EXPECT_EQ(run.Output.find("Unable to connect"), std::string::npos) << run.Output;
    }
}

}  // namespace
}  // namespace brindle
