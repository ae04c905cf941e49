#include <gtest/gtest.h>

#include <filesystem>

#include "core/Registre_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using brindle::test::ReadFileBytes;
using brindle::test::TestFolder;
namespace fs = std::filesystem;

TEST(RegData, DefaultsWithoutAFile) {
    TestFolder folder;
    TRegData reg(folder.file("settings.ini"));
    reg.LoadSettings();
    EXPECT_EQ(reg.Height, -1);
    EXPECT_EQ(reg.Left, -1);
    EXPECT_EQ(reg.Top, -1);
    EXPECT_EQ(reg.Width, -1);
    EXPECT_FALSE(reg.Maximized);
    EXPECT_TRUE(reg.WordExport);
    EXPECT_EQ(reg.Number, 0);
    EXPECT_TRUE(reg.StartUp);
    EXPECT_EQ(reg.Ver, "");
    EXPECT_EQ(reg.Path, "");
}

TEST(RegData, WrongTypesReadAsDefaults) {
    TestFolder folder;
    const std::string file = folder.write("settings.ini",
                                          "[Main]\nWidth=wide\nHeight=600\nMaximized=7\n"
                                          "[Tips]\nStartUp=\nNumber=3x\n[Version]\n");
    TRegData reg(file);
    reg.LoadSettings();
    EXPECT_EQ(reg.Width, -1);
    EXPECT_EQ(reg.Height, 600);
    EXPECT_TRUE(reg.Maximized);  // any non-zero number
    EXPECT_TRUE(reg.StartUp);
    EXPECT_EQ(reg.Number, 0);
    EXPECT_EQ(reg.Ver, "");
}

TEST(RegData, SaveWritesEverythingButTheCityPath) {
    TestFolder folder;
    const std::string file = folder.file("settings.ini");
    {
        TRegData reg(file);
        reg.LoadSettings();
        reg.Width = 1024;
        reg.Maximized = true;
        reg.Number = 5;
        reg.Ver = "2.30";
        reg.Path = "/should/not/be/written";
        ASSERT_TRUE(reg.SaveSettings());
    }
    const std::string text = ReadFileBytes(file);
    EXPECT_EQ(text.find("GeoIPCity"), std::string::npos);
    EXPECT_EQ(text,
              "[Main]\nHeight=-1\nLeft=-1\nTop=-1\nWidth=1024\nMaximized=1\n\n[Show]\nWordExport=1\n\n"
              "[Tips]\nNumber=5\nStartUp=1\n\n[Version]\nVer=2.30\n");

    // A City path set by hand survives a save unchanged.
    folder.write("settings.ini", text + "\n[GeoIPCity]\nPath=/opt/GeoLiteCity.dat\n");
    TRegData again(file);
    again.LoadSettings();
    EXPECT_EQ(again.Path, "/opt/GeoLiteCity.dat");
    again.Top = 10;
    ASSERT_TRUE(again.SaveSettings());
    TRegData third(file);
    third.LoadSettings();
    EXPECT_EQ(third.Top, 10);
    EXPECT_EQ(third.Width, 1024);
    EXPECT_EQ(third.Path, "/opt/GeoLiteCity.dat");
}

TEST(RegData, UnwritableFileReportsFalse) {
    TestFolder folder;
    folder.write("blocker", "a file where a folder should be");
    TRegData reg(folder.file("blocker/settings.ini"));
    reg.LoadSettings();
    EXPECT_FALSE(reg.SaveSettings());
}

// A save that fails keeps every value, so that the next save (once the way is clear) writes
// them; the reason says why.
TEST(RegData, FailedSaveKeepsTheValuesForTheNextSave) {
    TestFolder folder;
    const std::string file = folder.file("settings.ini");
    fs::create_directories(file);  // a folder where the file should be
    TRegData reg(file);
    reg.LoadSettings();
    reg.Width = 800;
    reg.Number = 7;
    reg.Ver = "2.30";
    std::string why;
    EXPECT_FALSE(reg.SaveSettings(&why));
    EXPECT_EQ(why, "Is a directory");
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(reg.Width, 800);
    EXPECT_EQ(reg.Number, 7);
    EXPECT_EQ(reg.Ver, "2.30");

    fs::remove(file);
    ASSERT_TRUE(reg.SaveSettings());
    TRegData back(file);
    back.LoadSettings();
    EXPECT_EQ(back.Width, 800);
    EXPECT_EQ(back.Number, 7);
    EXPECT_EQ(back.Ver, "2.30");
}
