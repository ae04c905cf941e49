// Every test program runs with a private user folder so that no test touches the real home.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string home = (std::filesystem::temp_directory_path() / "brindle-home-XXXXXX").string();
    const bool haveHome = mkdtemp(home.data()) != nullptr;
    if (haveHome) setenv("BRINDLE_ANALYZER_HOME", home.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (haveHome) {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    return result;
}
