// The table view of a report: columns, captions, widths and alignments, the default sort,
// sorting by header clicks with the real column's comparer, grid lines, the General layout,
// and the row limits and skipped rows of the content rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTableView>
#include <QThread>
#include <QToolTip>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "core/CommonConsts_tables.h"
#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/ReportContent_u.h"
#include "engine/ReportSource.h"
#include "engine/Statistics_u.h"
#include "support/ReportSourceHolder.h"
#include "views/List_fr.h"
#include "views/ReportTableModel_u.h"

namespace brindle {
namespace {

TRecStat Row(std::string name, std::int32_t hits, std::int32_t visits, std::int64_t bytes = 0) {
    TRecStat row;
    row.Name = std::move(name);
    row.Hits = hits;
    row.Visits = visits;
    row.Bytes = bytes;
    return row;
}

TRecStat MonthRow(int year, int month, std::int32_t visits, TSeconds duration, std::int64_t bytes) {
    TRecStat row = Row("", visits * 10, visits, bytes);
    row.Key = EncodeDateTime(year, month, 1, 0, 0, 0);
    row.Duration = duration;
    return row;
}

TRecStat ErrRow(std::string name, std::int32_t code, std::int32_t hits) {
    TRecStat row = Row(std::move(name), hits, 0);
    row.Code = code;
    return row;
}

// Everything a report source points at, filled by hand; lists start out of order.
using Analysis = test::TReportSourceHolder;

Analysis MakeAnalysis() {
    Analysis a;
    a.AnalysisTime = EncodeDateTime(2025, 2, 1, 9, 30, 0);
    TStatistics& s = a.Stats;
    s.FirstHitTime = EncodeDateTime(2024, 1, 3, 8, 0, 0);
    s.LastHitTime = EncodeDateTime(2025, 1, 20, 17, 0, 0);
    s.Summary = Row("", 2000, 200, 5 * 1024 * 1024);

    // Average visit lengths 9:59, 25:00:00 and 1:00:00; bandwidths 900 kB, 1 MB and 2 kB.
    s.StatByMon.Add(MonthRow(2024, 3, 1, 599, 900 * 1024));
    s.StatByMon.Add(MonthRow(2025, 1, 2, 7200, 2048));
    s.StatByMon.Add(MonthRow(2024, 1, 1, 25 * 3600, 1024 * 1024));

    for (const auto& [day, hits] :
         {std::pair{EncodeDate(2024, 3, 1), 5}, {EncodeDate(2024, 1, 31), 9}, {EncodeDate(2023, 12, 2), 7}}) {
        TRecStat row = Row("", hits, 1);
        row.Key = StartOfDay(day);
        s.StatByDay.Add(row);
    }

    TRecStat small = Row("small.example", 30, 4, 900 * 1024);
    small.Country = GetCountryIndex("fr");
    TRecStat big = Row("big.example", 20, 9, 1024 * 1024);
    big.Country = GetCountryIndex("de");
    s.StatByHost.Add(small);
    s.StatByHost.Add(big);
    s.StatByHost.Add(Row("10.1.1.1", 5, 1, 100));

    s.StatByTld.Add(Row("de", 300, 10, 900 * 1024));
    s.StatByTld.Add(Row("com", 500, 20, 2 * 1024 * 1024));
    s.StatByTld.Add(Row("fr", 95, 15, 512));

    s.StatByBrowser.Add(Row("Firefox", 50, 30));
    s.StatByBrowser.Add(Row("Chrome", 210, 10));
    s.StatByBrowser.Add(Row("Safari", 10, 20));

    s.StatBySpider.Add(Row("", 90, 9));
    s.StatBySpider.Add(Row("Googlebot", 40, 4));
    s.StatBySpider.Add(Row("Slurp", 60, 6));

    s.StatByRefPage.Add(Row("http://a.example/", 1, 12));
    s.StatByRefPage.Add(Row("http://b.example/", 1, 100));
    s.StatByRefPage.Add(Row("http://c.example/", 1, 10));
    s.StatByRefPage.Add(Row("http://d.example/", 1, 95));

    s.StatByErr.Add(ErrRow("/gone.html\thttp://ref.example/", 404, 9));
    s.StatByErr.Add(ErrRow("/cgi-bin/x\t", 500, 70));
    s.StatByErr.Add(ErrRow("/old.html\t", 404, 5));
    s.StatByErr.Add(ErrRow("/missing.png\t", 404, 7));

    s.StatByLenVisit[1].Visits = 50;
    s.StatByLenVisit[4].Visits = 20;
    s.StatByLenVisit[11].Visits = 5;
    return a;
}

std::vector<std::string> Column(const TfrList& frame, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < frame.Model().rowCount(); ++r) texts.push_back(frame.Model().CellText(r, column));
    return texts;
}

std::vector<std::string> Captions(const TfrList& frame) {
    std::vector<std::string> captions;
    for (int c = 0; c < frame.Model().columnCount(); ++c)
        captions.push_back(frame.Model().headerData(c, Qt::Horizontal).toString().toStdString());
    return captions;
}

// The layout's widths (8-point design pixels); the grid scales them to its font.
std::vector<int> Widths(const TfrList& frame) {
    std::vector<int> widths;
    for (const TTableColumn& column : frame.Model().Columns()) widths.push_back(column.Width);
    return widths;
}

// "L" or "R" per column, for the header and for the cells.
std::string Alignments(const TfrList& frame) {
    std::string result;
    const TReportTableModel& model = frame.Model();
    for (int c = 0; c < model.columnCount(); ++c) {
        const auto header = model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        const auto cell =
            model.rowCount() > 0 ? model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>() : header;
        EXPECT_EQ(header, cell) << c;
        result += (header & Qt::AlignRight) ? 'R' : 'L';
    }
    return result;
}

// A real mouse click on a column head.
void ClickHeader(TfrList& frame, int column, Qt::MouseButton button = Qt::LeftButton) {
    QHeaderView* header = frame.vt()->horizontalHeader();
    QWidget* target = header->viewport();
    const QPointF at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2.0,
                     header->height() / 2.0);
    const QPointF global = target->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Clicks the head of the column once per list and checks the column's texts after each click.
void ExpectClicks(TfrList& frame, int column, std::initializer_list<std::vector<std::string>> afterEachClick) {
    int click = 0;
    for (const std::vector<std::string>& expected : afterEachClick) {
        ClickHeader(frame, column);
        EXPECT_EQ(Column(frame, column), expected) << "click " << ++click << " on column " << column;
    }
}

struct Frame {
    TfrList List;
    Frame() { List.resize(1200, 600); }
};

void ExpectSort(const TfrList& frame, int column, Qt::SortOrder order, bool glyphs = true) {
    const QHeaderView* header = frame.vt()->horizontalHeader();
    EXPECT_EQ(frame.SortColumn(), column);
    EXPECT_EQ(frame.SortDirection(), order);
    EXPECT_EQ(header->isSortIndicatorShown(), glyphs);
    if (glyphs) {
        EXPECT_EQ(header->sortIndicatorSection(), column);
        EXPECT_EQ(header->sortIndicatorOrder(), order);
    }
}

using Texts = std::vector<std::string>;

TEST(TableView, GeneralHasTwoColumnsAndBoldCategories) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;
    f.List.ShowReport(source, kGeneralReportID);
    EXPECT_TRUE(f.List.isVisible());
    EXPECT_EQ(f.List.ReportId(), kGeneralReportID);
    EXPECT_EQ(Captions(f.List), (Texts{"Item", "Value"}));
    EXPECT_EQ(Widths(f.List), (std::vector<int>{175, 175}));
    EXPECT_EQ(Alignments(f.List), "LL");
    EXPECT_EQ(f.List.SortColumn(), -1);
    EXPECT_FALSE(f.List.vt()->horizontalHeader()->isSortIndicatorShown());

    const TReportTableModel& model = f.List.Model();
    ASSERT_EQ(model.rowCount(), 22);
    const std::vector<std::string> items = Column(f.List, 0);
    EXPECT_EQ(items[0], "Time");
    EXPECT_EQ(items[1], "Report generated on");
    EXPECT_EQ(items[5], "Access");
    EXPECT_EQ(items[15], "Average");
    EXPECT_EQ(items[21], "Users per Day");
    EXPECT_EQ(model.CellText(6, 1), "2000");
    for (int r = 0; r < model.rowCount(); ++r) {
        const bool category = r == 0 || r == 5 || r == 15;
        EXPECT_EQ(model.data(model.index(r, 0), Qt::FontRole).value<QFont>().bold(), category) << r;
        EXPECT_FALSE(model.data(model.index(r, 1), Qt::FontRole).value<QFont>().bold()) << r;
        if (category)
            EXPECT_EQ(model.CellText(r, 1), "") << r;
        else
            EXPECT_NE(model.CellText(r, 1), "") << r;
    }

    // Clicking a head of General moves nothing: every pair ties.
    const std::vector<std::string> before = Column(f.List, 1);
    ClickHeader(f.List, 1);
    ClickHeader(f.List, 1);
    EXPECT_EQ(Column(f.List, 1), before);
    EXPECT_FALSE(f.List.vt()->horizontalHeader()->isSortIndicatorShown());
}

TEST(TableView, ColumnsOfRepresentativeReports) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;
    EXPECT_EQ(f.List.findChild<QTableView*>("vt"), f.List.vt());

    f.List.ShowReport(source, 21);  // ByMon
    EXPECT_EQ(Captions(f.List),
              (Texts{"Month", "Hits", "Visits", "Bandwidth", "Pages", "Errors", "Average Visit Length"}));
    EXPECT_EQ(Widths(f.List), (std::vector<int>{100, 75, 75, 75, 75, 75, 125}));
    EXPECT_EQ(Alignments(f.List), "LRRRRRR");
    ExpectSort(f.List, 0, Qt::AscendingOrder);

    f.List.ShowReport(source, 37);  // ByHost
    EXPECT_EQ(Captions(f.List), (Texts{"Host", "Country", "Hits", "Visits", "Bandwidth"}));
    EXPECT_EQ(Widths(f.List), (std::vector<int>{150, 150, 75, 75, 75}));
    EXPECT_EQ(Alignments(f.List), "LLRRR");
    ExpectSort(f.List, 3, Qt::DescendingOrder);
    EXPECT_EQ(Column(f.List, 0), (Texts{"big.example", "small.example", "10.1.1.1"}));
    EXPECT_EQ(Column(f.List, 1)[0], "Germany");

    f.List.ShowReport(source, 61);  // ByErr404
    EXPECT_EQ(Captions(f.List), (Texts{"Requested URL", "Referrer", "Hits"}));
    EXPECT_EQ(Widths(f.List), (std::vector<int>{150, 150, 50}));
    EXPECT_EQ(Alignments(f.List), "LLR");
    ExpectSort(f.List, 2, Qt::DescendingOrder);

    f.List.ShowReport(source, 131);  // ByLenVisit
    EXPECT_EQ(Captions(f.List), (Texts{"Duration", "Visits", "Visits %"}));
    EXPECT_EQ(Widths(f.List), (std::vector<int>{150, 75, 75}));
    EXPECT_EQ(Alignments(f.List), "LRR");
    ExpectSort(f.List, 0, Qt::AscendingOrder);
    EXPECT_EQ(f.List.Model().rowCount(), 11);
    EXPECT_EQ(f.List.Model().CellText(0, 0), "0-1 min");
    ClickHeader(f.List, 0);
    ExpectSort(f.List, 0, Qt::DescendingOrder);
    EXPECT_EQ(f.List.Model().CellText(0, 0), "180+ mins");
    EXPECT_EQ(f.List.Model().CellText(10, 0), "0-1 min");

    f.List.ShowReport(source, 62);  // ByErrMisc
    EXPECT_EQ(Widths(f.List), (std::vector<int>{50, 150, 150, 150, 50}));
    EXPECT_EQ(Alignments(f.List), "LLLLR");
    ExpectSort(f.List, 4, Qt::DescendingOrder);

    f.List.ShowReport(source, 63);  // ByErrType
    EXPECT_EQ(Widths(f.List), (std::vector<int>{75, 200, 75}));
    EXPECT_EQ(Alignments(f.List), "LLR");

    // An id that names no report leaves an empty grid.
    f.List.ShowReport(source, 20);
    EXPECT_EQ(f.List.Model().columnCount(), 0);
    EXPECT_EQ(f.List.Model().rowCount(), 0);
    EXPECT_EQ(f.List.SortColumn(), -1);
}

TEST(TableView, MonthsSortByCalendarDurationsAndSizes) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;
    f.List.ShowReport(source, 21);
    EXPECT_EQ(Column(f.List, 0), (Texts{"January 2024", "March 2024", "January 2025"}));
    EXPECT_EQ(Column(f.List, 6), (Texts{"25:00:00", "9:59", "1:00:00"}));

    ClickHeader(f.List, 0);  // the sort column: the direction turns
    ExpectSort(f.List, 0, Qt::DescendingOrder);
    EXPECT_EQ(Column(f.List, 0), (Texts{"January 2025", "March 2024", "January 2024"}));

    // Durations keep their hours and sort as durations, not as times of day or text.
    ExpectClicks(f.List, 6, {{"9:59", "1:00:00", "25:00:00"}, {"25:00:00", "1:00:00", "9:59"}});
    ExpectSort(f.List, 6, Qt::DescendingOrder);

    // Bandwidth is column 3 and sorts by size (the column to its left holds integers).
    ExpectClicks(f.List, 3, {{"2.00 kB", "900.00 kB", "1.00 MB"}, {"1.00 MB", "900.00 kB", "2.00 kB"}});
    // The other cells travel with their row.
    EXPECT_EQ(Column(f.List, 0), (Texts{"January 2024", "March 2024", "January 2025"}));

    // A new report brings back its own default order.
    f.List.ShowReport(source, 21);
    ExpectSort(f.List, 0, Qt::AscendingOrder);
    EXPECT_EQ(Column(f.List, 0), (Texts{"January 2024", "March 2024", "January 2025"}));
}

TEST(TableView, HeaderClicksTurnAndMoveTheSort) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;
    f.List.ShowReport(source, 33);  // ByBrowser, by hits descending
    ExpectSort(f.List, 1, Qt::DescendingOrder);
    EXPECT_EQ(Column(f.List, 1), (Texts{"210", "50", "10"}));

    // Only the left button sorts.
    ClickHeader(f.List, 3, Qt::RightButton);
    ClickHeader(f.List, 1, Qt::MiddleButton);
    ExpectSort(f.List, 1, Qt::DescendingOrder);
    EXPECT_EQ(Column(f.List, 1), (Texts{"210", "50", "10"}));

    ExpectClicks(f.List, 1, {{"10", "50", "210"}});
    ExpectSort(f.List, 1, Qt::AscendingOrder);

    ClickHeader(f.List, 3);  // another column starts ascending
    ExpectSort(f.List, 3, Qt::AscendingOrder);
    EXPECT_EQ(Column(f.List, 3), (Texts{"10", "20", "30"}));
    EXPECT_EQ(Column(f.List, 0), (Texts{"Chrome", "Safari", "Firefox"}));

    // Percent columns compare as numbers: "2.50%" below "10.50%".
    ExpectClicks(f.List, 2, {{"0.50%", "2.50%", "10.50%"}, {"10.50%", "2.50%", "0.50%"}});
    ExpectClicks(f.List, 0, {{"Chrome", "Firefox", "Safari"}, {"Safari", "Firefox", "Chrome"}});
}

TEST(TableView, SizesIntegersAndDatesSortByValue) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;

    f.List.ShowReport(source, 31);  // ByTld
    ExpectClicks(f.List, 5, {{"0.50 kB", "900.00 kB", "2.00 MB"}, {"2.00 MB", "900.00 kB", "0.50 kB"}});
    ExpectSort(f.List, 5, Qt::DescendingOrder);

    f.List.ShowReport(source, 52);  // ByRefPage, by visits descending
    EXPECT_EQ(Column(f.List, 2), (Texts{"100", "95", "12", "10"}));
    ExpectClicks(f.List, 2, {{"10", "12", "95", "100"}, {"100", "95", "12", "10"}});

    // Dates in a day-first format: text order would put 31/01 after 01/03.
    DisplayFormat dayFirst;
    dayFirst.ShortDateFormat = "dd/mm/yyyy";
    f.List.SetDisplayFormat(dayFirst);
    f.List.ShowReport(source, 22);  // ByDay
    EXPECT_EQ(Column(f.List, 0), (Texts{"02/12/2023", "31/01/2024", "01/03/2024"}));
    ExpectClicks(f.List, 0, {{"01/03/2024", "31/01/2024", "02/12/2023"}, {"02/12/2023", "31/01/2024", "01/03/2024"}});
}

TEST(TableView, RowLimitsAndSkippedRowsFollowTheContentRules) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;

    a.SetRowLimit(31, 0);
    f.List.ShowReport(source, 31);
    EXPECT_EQ(f.List.Model().columnCount(), 7);
    EXPECT_EQ(f.List.Model().rowCount(), 0);
    ExpectSort(f.List, 3, Qt::DescendingOrder);

    a.SetRowLimit(31, 2);
    f.List.ShowReport(source, 31);
    EXPECT_EQ(Column(f.List, 3), (Texts{"20", "15"}));

    // Only 404 rows, the referrer split off into its own column, "-" without one.
    a.SetRowLimit(61, 2);
    f.List.ShowReport(source, 61);
    EXPECT_EQ(Column(f.List, 0), (Texts{"/gone.html", "/missing.png"}));
    EXPECT_EQ(Column(f.List, 1)[0], "http://ref.example/");
    EXPECT_EQ(Column(f.List, 2), (Texts{"9", "7"}));

    f.List.ShowReport(source, 62);  // ByErrMisc: everything but 404
    EXPECT_EQ(Column(f.List, 0), (Texts{"500"}));

    // A spider without a name is not shown and takes no place under the limit.
    a.SetRowLimit(35, 1);
    f.List.ShowReport(source, 35);
    EXPECT_EQ(Column(f.List, 0), (Texts{"Slurp"}));
}

TEST(TableView, GridLinesFollowTheOptionsOnTheNextReport) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    Frame f;
    a.Options.ShowGridLines = 0;
    f.List.ShowReport(source, 33);
    EXPECT_FALSE(f.List.vt()->showGrid());
    a.Options.ShowGridLines = 1;
    EXPECT_FALSE(f.List.vt()->showGrid());
    f.List.ShowReport(source, 33);
    EXPECT_TRUE(f.List.vt()->showGrid());
    a.Options.ShowGridLines = 0;
    f.List.ShowReport(source, kGeneralReportID);
    EXPECT_FALSE(f.List.vt()->showGrid());
}

// Every table report arrives in the order its glyph claims: the content rules' sort and the
// view's default sort column agree.
TEST(TableView, EveryReportArrivesInItsDefaultOrder) {
    Analysis a;
    a.AnalysisTime = EncodeDateTime(2025, 2, 1, 9, 30, 0);
    std::mt19937 random(7);
    const auto fill = [&](TRecStat& row, int i) {
        row.Name = "row " + std::to_string(random() % 1000);
        row.Hits = static_cast<std::int32_t>(random() % 500);
        row.Visits = static_cast<std::int32_t>(random() % 500);
        row.Bytes = static_cast<std::int64_t>(random() % (1 << 24));
        row.Pages = static_cast<std::int32_t>(random() % 50);
        row.Duration = static_cast<TSeconds>(random() % 200000);
        row.Key = StartOfDay(EncodeDate(2020, 1, 1) + static_cast<std::int64_t>(random() % 1500)) +
                  static_cast<TSeconds>(random() % kSecondsPerDay);
        row.Kind = static_cast<std::uint8_t>(i % 6);
        row.Code = std::array{404, 500, 403, 200, 302, 600}[static_cast<std::size_t>(i % 6)];
    };
    for (TLstStat* list : a.Stats.AllLists()) {
        for (int i = 0; i < 40; ++i) {
            TRecStat row;
            fill(row, i);
            list->Add(row);
        }
    }
    // Month and day rows hold the start of their month or day.
    for (TRecStat& row : a.Stats.StatByMon.MutableRows()) {
        const TDateParts parts = DecodeDateTime(row.Key);
        row.Key = EncodeDateTime(parts.Year, parts.Month, 1, 0, 0, 0);
    }
    for (TRecStat& row : a.Stats.StatByDay.MutableRows()) row.Key = StartOfDay(DayOf(row.Key));
    for (int i = 0; i < 24; ++i) fill(a.Stats.StatByHod[i], i);
    a.Stats.Summary = Row("", 5000, 5000, 1 << 26);

    auto source = a.Source();
    Frame f;
    for (const TReportRule& rule : ReportRules()) {
        SCOPED_TRACE(std::string(rule.Key));
        f.List.ShowReport(source, rule.ID);
        const TReportTableModel& model = f.List.Model();
        ASSERT_EQ(model.columnCount(), rule.ColumnCount);
        ASSERT_GT(model.rowCount(), 0);
        const int column = f.List.SortColumn();
        ASSERT_GE(column, 0);
        ASSERT_LT(column, model.columnCount());
        EXPECT_TRUE(f.List.vt()->horizontalHeader()->isSortIndicatorShown());
        for (int c = 0; c < model.columnCount(); ++c) EXPECT_GE(f.List.vt()->columnWidth(c), 50);
        const int sign = f.List.SortDirection() == Qt::AscendingOrder ? 1 : -1;
        for (int r = 1; r < model.rowCount(); ++r)
            EXPECT_LE(sign * f.List.CompareCells(column, model.CellText(r - 1, column), model.CellText(r, column)), 0)
                << model.CellText(r - 1, column) << " / " << model.CellText(r, column);
    }
}

std::vector<int> ShownWidths(const TfrList& frame) {
    std::vector<int> widths;
    for (int c = 0; c < frame.Model().columnCount(); ++c) widths.push_back(frame.vt()->columnWidth(c));
    return widths;
}

// The layout's widths grow with the font, and no column is narrower than its caption.
TEST(TableView, ColumnsFitTheirFontAndCaptions) {
    Analysis a = MakeAnalysis();
    auto source = a.Source();
    std::vector<std::vector<int>> byFont;
    for (const int pixels : {9, 13, 22}) {
        SCOPED_TRACE(pixels);
        Frame f;
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        f.List.setFont(font);
        for (const int id : {21, 37, 61}) {  // ByMon, ByHost, ByErr404
            f.List.ShowReport(source, id);
            const QHeaderView* header = f.List.vt()->horizontalHeader();
            const QFontMetrics metrics(header->font());
            const std::vector<int> design = Widths(f.List);
            const std::vector<int> shown = ShownWidths(f.List);
            for (int c = 0; c < f.List.Model().columnCount(); ++c) {
                const QString caption = f.List.Model().headerData(c, Qt::Horizontal).toString();
                EXPECT_GE(shown[c], metrics.horizontalAdvance(caption) + metrics.height()) << caption.toStdString();
                EXPECT_GE(shown[c], design[c]) << caption.toStdString();
            }
            if (id == 21) byFont.push_back(shown);
        }
    }
    ASSERT_EQ(byFont.size(), 3u);
    for (std::size_t c = 0; c < byFont[0].size(); ++c) {
        EXPECT_LE(byFont[0][c], byFont[1][c]) << c;
        EXPECT_LT(byFont[1][c], byFont[2][c]) << c;
    }
}

// A text cut at its layout width takes the grid's free room, and keeps a width the user set.
TEST(TableView, TextColumnsTakeTheFreeRoom) {
    Analysis a = MakeAnalysis();
    const std::string url = "/a/long/path/that/is/cut/at/one/hundred/and/fifty/design/pixels.html";
    a.Stats.StatByErr.Add(ErrRow(url + "\t", 404, 100));
    auto source = a.Source();
    Frame f;
    f.List.show();
    f.List.ShowReport(source, 61);
    QApplication::processEvents();
    ASSERT_EQ(f.List.Model().CellText(0, 0), url);
    const QFontMetrics metrics(f.List.vt()->font());
    EXPECT_GE(f.List.vt()->columnWidth(0), metrics.horizontalAdvance(QString::fromStdString(url)));
    int total = 0;
    for (int width : ShownWidths(f.List)) total += width;
    EXPECT_LE(total, f.List.vt()->viewport()->width());

    f.List.vt()->horizontalHeader()->resizeSection(0, 90);  // as a drag does
    f.List.resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(f.List.vt()->columnWidth(0), 90);
    // The next report is laid out afresh.
    f.List.ShowReport(source, 61);
    EXPECT_GT(f.List.vt()->columnWidth(0), 90);
}

// The hint shows the whole text of a cell drawn cut short, and nothing for a cell that fits.
TEST(TableView, HintsOnlyForCellsCutShort) {
    Analysis a = MakeAnalysis();
    // Longer than the whole grid: the column widens into the free space and still cuts it.
    std::string longUrl = "/a/very/long/path/that/does/not/fit/into/one/hundred/and/fifty/pixels/at/all";
    for (int i = 0; i < 4; ++i) longUrl += longUrl;
    longUrl += ".html";
    a.Stats.StatByErr.Add(ErrRow(longUrl + "\t", 404, 100));
    auto source = a.Source();
    Frame f;
    f.List.ShowReport(source, 61);
    QApplication::processEvents();
    QTableView* vt = f.List.vt();
    ASSERT_EQ(f.List.Model().CellText(0, 0), longUrl);
    const auto hintAt = [&](int column) {
        // A hint fades out on a timer; the bound is only there so that a hint that never goes
        // fails the test instead of hanging it.
        QToolTip::hideText();
        QElapsedTimer waited;
        waited.start();
        while (QToolTip::isVisible() && waited.elapsed() < 60000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        EXPECT_FALSE(QToolTip::isVisible()) << "the previous hint never went away";
        const QPoint at = vt->visualRect(f.List.Model().index(0, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, vt->viewport()->mapToGlobal(at));
        QApplication::sendEvent(vt->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    EXPECT_EQ(hintAt(0), longUrl);
    EXPECT_EQ(hintAt(2), "");
    QToolTip::hideText();
}

}  // namespace
}  // namespace brindle
