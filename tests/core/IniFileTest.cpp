#include <gtest/gtest.h>

#include "core/IniFile_u.h"
#include "support/TestFolder.h"

using namespace brindle;

TEST(IniFile, DialectCases) {
    TIniFile ini;
    ini.Parse(
        "before=ignored\r\n"
        "  [ Info ]  \r\n"
        "LanguageName = Deutsch \r\n"
        "; LanguageID=comment\n"
        "languagename=second wins not\n"
        "NoEquals\n"
        "Key=a=b\n"
        "Empty=\n"
        "[info]\n"
        "Author=ignored, repeated section\n"
        "[Misc]\n"
        "[Last]\n"
        "Tail=no final line end");
    EXPECT_EQ(ini.ReadString("INFO", "languageName"), "Deutsch");
    EXPECT_EQ(ini.ReadString("Info", "Key"), "a=b");
    EXPECT_EQ(ini.ReadString("Info", "Empty"), "");
    EXPECT_TRUE(ini.HasKey("Info", "Empty"));
    EXPECT_FALSE(ini.HasKey("Info", "LanguageID"));
    EXPECT_EQ(ini.ReadString("Info", "Author"), "");
    EXPECT_EQ(ini.ReadString("Info", "before"), "");
    EXPECT_EQ(ini.ReadString("Last", "Tail"), "no final line end");
    EXPECT_EQ(ini.ReadString("Nowhere", "Tail"), "");
}

TEST(IniFile, WriteAndReadBack) {
    brindle::test::TestFolder folder;
    TIniFile ini;
    ini.WriteString("Main", "Width", "800");
    ini.WriteString("Tips", "StartUp", "1");
    ini.WriteString("main", "WIDTH", "1024");
    EXPECT_EQ(ini.ToText(), "[Main]\nWidth=1024\n\n[Tips]\nStartUp=1\n");
    ASSERT_TRUE(ini.SaveToFile(folder.file("settings.ini")));
    TIniFile back;
    ASSERT_TRUE(back.LoadFromFile(folder.file("settings.ini")));
    EXPECT_EQ(back.ReadString("Main", "Width"), "1024");
    EXPECT_FALSE(back.LoadFromFile(folder.file("missing.ini")));
    EXPECT_EQ(back.ReadString("Tips", "StartUp"), "1");
}
