// libarchive is opened by the first archive call, not with the program: a run of plain logs
// never loads it and the eight libraries it brings.
#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>

#include <fstream>
#include <string>

namespace {

bool ArchiveLibraryLoaded() {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libarchive.so") != std::string::npos) return true;
    return false;
}

// Before main: what the program's link alone has loaded.
const bool kLoadedAtStart = ArchiveLibraryLoaded();

TEST(ArchiveLibrary, IsNotLoadedWithTheProgramButByTheFirstCall) {
    EXPECT_FALSE(kLoadedAtStart);
    archive* writer = archive_write_new();
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(ArchiveLibraryLoaded());
    EXPECT_EQ(archive_write_set_format_zip(writer), ARCHIVE_OK);
    EXPECT_EQ(archive_write_free(writer), ARCHIVE_OK);
}

}  // namespace
