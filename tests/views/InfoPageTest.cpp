#include <gtest/gtest.h>

#include <QTextBrowser>
#include <filesystem>
#include <string>

#include "views/HtmlSamples.h"
#include "views/Info_fr.h"

using namespace brindle;
using namespace brindle::test;

TEST(InfoPage, GoldenPagesOfBothMessages) {
    TestFolder folder;
    TfrInfo frame;
    ASSERT_EQ(frame.findChild<QTextBrowser*>("wb"), frame.wb);
    frame.ShowInfo(0, folder.file("info.html"));
    ExpectGolden(ReadFileBytes(folder.file("info.html")), "info0.html");
    EXPECT_TRUE(frame.isVisible());
    EXPECT_NE(frame.wb->toPlainText().indexOf("You have not selected a valid profile to view."), -1);

    frame.ShowInfo(1, folder.file("info.html"));
    ExpectGolden(ReadFileBytes(folder.file("info.html")), "info1.html");
    EXPECT_NE(frame.wb->toPlainText().indexOf("You should expand the category to view a list of available reports."),
              -1);
    EXPECT_EQ(frame.wb->toPlainText().indexOf("valid profile"), -1);
}

TEST(InfoPage, OtherMessagesGiveAnEmptyCell) {
    TestFolder folder;
    TfrInfo frame;
    frame.ShowInfo(2, folder.file("info.html"));
    const std::string page = ReadFileBytes(folder.file("info.html"));
    EXPECT_NE(page.find("<tr><td align=\"center\" class=\"Info\">\r\n\r\n</td></tr>\r\n"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</html>\r\n\r\n"));
    EXPECT_EQ(page.find("You"), std::string::npos);
}

TEST(InfoPage, UnwritableFileRaisesAndKeepsTheViewer) {
    TestFolder folder;
    TfrInfo frame;
    frame.ShowInfo(1, folder.file("info.html"));
    const QString shown = frame.wb->toPlainText();
    const std::string target = folder.file("missing/info.html");
    EXPECT_THROW(frame.ShowInfo(0, target), EExportHTML);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(frame.wb->toPlainText(), shown);
}
