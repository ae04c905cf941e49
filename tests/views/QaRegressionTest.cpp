// Faults found by trying the program as a user does.
#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "core/TextRepair_u.h"
#include "views/DisplayText_u.h"
#include "views/ReportTableModel_u.h"

namespace brindle {
namespace {

// A log written in Latin-1 ("/caf\xE9.html") showed "caf\uFFFD" in the table while the HTML
// page and the exports showed "café": the screen now repairs the bytes the same way.
TEST(QaRegression, TableCellsShowNonUtf8LogBytesAsThePagesDo) {
    const std::string latin1 = "/caf\xE9.html";
    TReportTableModel model;
    model.SetTable({{"URL", 150, Qt::AlignLeft, TCellCompare::Text}}, {{{latin1}, false}});
    const QString shown = model.data(model.index(0, 0)).toString();
    EXPECT_EQ(shown, QString::fromUtf8("/caf\xC3\xA9.html"));
    EXPECT_EQ(shown.toStdString(), RepairUtf8(latin1));
    EXPECT_FALSE(shown.contains(QChar(0xFFFD)));
    // The stored text stays the log's bytes: sorting and exports still see them.
    EXPECT_EQ(model.CellText(0, 0), latin1);

    EXPECT_EQ(DisplayText("m\xC3\xBCnchen"), QString::fromUtf8("m\xC3\xBCnchen"));
    EXPECT_EQ(DisplayText("\x93quoted\x94"), QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D"));
    EXPECT_EQ(DisplayText(""), QString());
    // Control characters from a log show as the pages and exports write them.
    EXPECT_EQ(DisplayText("a\x01"
                          "b\x7f"),
              QString::fromUtf8("a\xEF\xBF\xBD"
                                "b\xEF\xBF\xBD"));
}

}  // namespace
}  // namespace brindle
