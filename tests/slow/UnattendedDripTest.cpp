// The product's own speed limit, end to end: a server that drips 200 bytes a second must not
// keep an unattended run alive. Takes about a minute, so it carries the label "slow".
#include "support/UnattendedDownload.h"

namespace brindle {
namespace {

TEST(UnattendedDrip, ADrippingServerEndsTheRunWithAMessage) {
    ASSERT_TRUE(std::filesystem::is_regular_file(test::ProgramPath())) << test::ProgramPath();
    // The deadline only stops a hang: at 200 bytes a second the 2 MB body would take hours.
    const test::TUnattendedDownload run = test::RunUnattendedDownload("drip/200/access.log", std::chrono::seconds(240));
    ASSERT_TRUE(run.Run.Ended) << "still running after 240 s\n" << run.Output;
    EXPECT_EQ(run.Run.Signal, 0);
    EXPECT_EQ(run.Run.ExitStatus, 1) << run.Output;
    EXPECT_NE(run.Output.find("Error: The HTTP server sent '" + run.Address +
                              "' slower than 1 KiB a second for 60 seconds; the download was stopped.\n"),
              std::string::npos)
        << run.Output;
}

}  // namespace
}  // namespace brindle
