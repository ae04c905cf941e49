// Test programs with widgets: a private user folder as in every test program, and one
// QApplication on the offscreen platform for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string home = (std::filesystem::temp_directory_path() / "brindle-home-XXXXXX").string();
    const bool haveHome = mkdtemp(home.data()) != nullptr;
    if (haveHome) setenv("BRINDLE_ANALYZER_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (haveHome) {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    return result;
}
