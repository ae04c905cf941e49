// The table model: the comparer of each column kind, stable sorting in both directions,
// rows that follow the sort, and the display format taken from Qt locales.
#include <gtest/gtest.h>

#include <QFont>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/CommonUtils_u.h"
#include "core/DateTime_u.h"
#include "engine/StatFormat_u.h"
#include "views/LocaleFormat_u.h"
#include "views/ReportTableModel_u.h"

namespace brindle {
namespace {

using K = TCellCompare;

// A two-column table: the texts under test, and each row's true value as a plain integer.
void FillValueTable(TReportTableModel& model, K kind, const std::vector<std::pair<std::string, std::int64_t>>& cells,
                    const DisplayFormat& format = DefaultDisplayFormat()) {
    model.SetDisplayFormat(format);
    std::vector<TTableRow> rows;
    for (const auto& [text, value] : cells) rows.push_back({{text, std::to_string(value)}, false});
    model.SetTable({{"Cell", 100, Qt::AlignLeft, kind}, {"Value", 75, Qt::AlignRight, K::Int64}}, std::move(rows));
}

std::int64_t ValueAt(const TReportTableModel& model, int row) { return std::stoll(model.CellText(row, 1)); }

TEST(CellComparers, EachKindOrdersByWhatTheCellMeans) {
    DisplayFormat dayFirst;
    dayFirst.ShortDateFormat = "dd/mm/yyyy";
    dayFirst.DecimalSeparator = ",";
    struct Case {
        K Kind;
        const char* Low;
        const char* High;
        const DisplayFormat* Format;
    };
    const Case cases[] = {
        {K::Size, "900.00 kB", "1.00 MB", nullptr},
        {K::Size, "1023.99 MB", "1.00 GB", nullptr},
        {K::Size, "900,00 kB", "1,50 MB", &dayFirst},
        {K::Percent, "9.50%", "10.00%", nullptr},
        {K::Percent, "99.99%", "100.00%", nullptr},
        {K::Percent, "9,50%", "10,25%", &dayFirst},
        {K::Int64, "95", "100", nullptr},
        {K::Int64, "-3", "2", nullptr},
        {K::Duration, "9:59", "25:00:00", nullptr},
        {K::Duration, "59:59", "1:00:00", nullptr},
        {K::Duration, "0:05", "10:00", nullptr},
        {K::Date, "31/01/2024", "01/03/2024", &dayFirst},
        {K::Date, "2024-12-31", "2025-01-01", nullptr},
        {K::DateTime, "2024-03-01 23:59:59", "2024-03-02", nullptr},
        {K::MonthYear, "March 2024", "January 2025", nullptr},
        {K::MonthYear, "January 2024", "March 2024", nullptr},
        {K::DayName, "Monday", "Sunday", nullptr},
        {K::NbVisit, "9 visits", "15+ visits", nullptr},
        {K::LenVisit, "5-10 mins", "180+ mins", nullptr},
        {K::Text, "apple", "Banana", nullptr},
        {K::Text, "ABC", "abcd", nullptr},
    };
    for (const Case& c : cases) {
        const DisplayFormat& format = c.Format ? *c.Format : DefaultDisplayFormat();
        EXPECT_EQ(CompareCellTexts(c.Kind, c.Low, c.High, format), -1) << c.Low << " < " << c.High;
        EXPECT_EQ(CompareCellTexts(c.Kind, c.High, c.Low, format), 1) << c.High << " > " << c.Low;
        EXPECT_EQ(CompareCellTexts(c.Kind, c.Low, c.Low, format), 0) << c.Low;
    }
    EXPECT_EQ(CompareCellTexts(K::Text, "Host", "hOST", DefaultDisplayFormat()), 0);
    EXPECT_EQ(CompareCellTexts(K::Equal, "1", "2", DefaultDisplayFormat()), 0);
}

TEST(ReportTableModel, SortIsStableAndGoesBothWays) {
    // Ties on the sorted column keep their order in both directions.
    TReportTableModel model;
    FillValueTable(model, K::Int64, {{"5", 1}, {"7", 2}, {"5", 3}, {"1", 4}, {"7", 5}});
    model.sort(0, Qt::AscendingOrder);
    std::vector<std::int64_t> order;
    for (int r = 0; r < model.rowCount(); ++r) order.push_back(ValueAt(model, r));
    EXPECT_EQ(order, (std::vector<std::int64_t>{4, 1, 3, 2, 5}));

    model.sort(0, Qt::DescendingOrder);
    order.clear();
    for (int r = 0; r < model.rowCount(); ++r) order.push_back(ValueAt(model, r));
    EXPECT_EQ(order, (std::vector<std::int64_t>{2, 5, 1, 3, 4}));

    // Outside the table nothing moves.
    model.sort(-1, Qt::AscendingOrder);
    model.sort(2, Qt::AscendingOrder);
    EXPECT_EQ(ValueAt(model, 0), 2);
}

TEST(ReportTableModel, SelectionFollowsItsRowWhenSorting) {
    TReportTableModel model;
    FillValueTable(model, K::Text, {{"b", 1}, {"c", 2}, {"a", 3}});
    QItemSelectionModel selection(&model);
    selection.setCurrentIndex(model.index(1, 0), QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows);
    const QPersistentModelIndex held(model.index(0, 1));
    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(selection.currentIndex().row(), 2);
    EXPECT_EQ(model.data(selection.currentIndex()).toString(), "c");
    EXPECT_EQ(held.row(), 1);
    EXPECT_EQ(held.column(), 1);
    EXPECT_TRUE(selection.isRowSelected(2, {}));
}

TEST(ReportTableModel, RolesAndShortRows) {
    TReportTableModel model;
    model.SetTable({{"Item", 175, Qt::AlignLeft | Qt::AlignVCenter, K::Equal},
                    {"Value", 75, Qt::AlignRight | Qt::AlignVCenter, K::Equal}},
                   {{{"Time"}, true}, {{"Total hits", "12"}, false}});
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 2);
    // A row with fewer texts than columns shows empty cells.
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "");
    EXPECT_EQ(model.CellText(0, 5), "");
    EXPECT_EQ(model.CellText(7, 0), "");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Value");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.data(model.index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    // Bold is the first cell of a bold row only.
    EXPECT_TRUE(model.data(model.index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::FontRole).isValid());
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::FontRole).isValid());
    // UTF-8 texts reach Qt intact.
    model.SetTable({{"Host", 150, Qt::AlignLeft, K::Text}}, {{{"m\xC3\xBCnchen.example"}, false}});
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QString::fromUtf8("m\xC3\xBCnchen.example"));
}

// Random values written as the report cells write them must come out in value order.
TEST(ReportTableModel, RandomCellsSortInValueOrder) {
    std::mt19937_64 random(20240601);
    const auto check = [](K kind, std::vector<std::pair<std::string, std::int64_t>> cells,
                          const DisplayFormat& format) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            TReportTableModel model;
            FillValueTable(model, kind, cells, format);
            model.sort(0, order);
            for (int r = 1; r < model.rowCount(); ++r) {
                const std::int64_t before = ValueAt(model, r - 1);
                const std::int64_t after = ValueAt(model, r);
                // Values that print alike may come in any order; others must be in order.
                if (model.CellText(r - 1, 0) == model.CellText(r, 0)) continue;
                if (order == Qt::AscendingOrder)
                    EXPECT_LT(before, after) << model.CellText(r - 1, 0) << " / " << model.CellText(r, 0);
                else
                    EXPECT_GT(before, after) << model.CellText(r - 1, 0) << " / " << model.CellText(r, 0);
            }
        }
    };
    DisplayFormat comma;
    comma.DecimalSeparator = ",";
    comma.ShortDateFormat = "dd.mm.yyyy";
    comma.TimeFormat = "h:nn:ss ampm";

    std::vector<std::pair<std::string, std::int64_t>> sizes, durations, dates, dateTimes, percents;
    for (int i = 0; i < 300; ++i) {
        const std::int64_t bytes = static_cast<std::int64_t>(random() % (std::int64_t{1} << (10 + i % 28)));
        sizes.emplace_back(FormatSize(bytes, comma), bytes);
        const std::int64_t seconds = static_cast<std::int64_t>(random() % 400000);
        durations.emplace_back(FormatStatDuration(seconds), seconds);
        const TSeconds day = StartOfDay(EncodeDate(1990, 1, 1) + static_cast<std::int64_t>(random() % 20000));
        dates.emplace_back(FormatDateText(day, comma), day);
        const TSeconds moment = day + static_cast<TSeconds>(random() % kSecondsPerDay);
        dateTimes.emplace_back(FormatDateTimeText(moment, comma), moment);
        const std::int64_t part = static_cast<std::int64_t>(random() % 1000);
        percents.emplace_back(FormatPercent(part, 997, comma), part);
    }
    check(K::Size, sizes, comma);
    check(K::Duration, durations, comma);
    check(K::Date, dates, comma);
    check(K::DateTime, dateTimes, comma);
    check(K::Percent, percents, comma);
}

TEST(LocaleFormat, TakesTheLocaleSeparatorsAndPatterns) {
    const DisplayFormat german = DisplayFormatFromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.DecimalSeparator, ",");
    EXPECT_EQ(german.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(german.TimeFormat, "hh:nn:ss");

    const DisplayFormat us = DisplayFormatFromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.DecimalSeparator, ".");
    EXPECT_EQ(us.ShortDateFormat, "m/d/yyyy");
    EXPECT_EQ(us.TimeAMString, "AM");
    EXPECT_EQ(us.TimePMString, "PM");
    EXPECT_EQ(FormatDateTimeText(EncodeDateTime(2024, 3, 7, 13, 5, 9), us), "3/7/2024 1:05:09 PM");
}

// What a locale's format writes, the comparers and parsers read back: otherwise a date
// column would sort as zeros.
TEST(LocaleFormat, CellsOfManyLocalesReadBack) {
    const QLocale locales[] = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::English, QLocale::UnitedKingdom),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Dutch, QLocale::Netherlands),
        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Korean, QLocale::SouthKorea),
        QLocale(QLocale::Russian, QLocale::Russia),
        QLocale(QLocale::Hungarian, QLocale::Hungary),
        QLocale(QLocale::Swedish, QLocale::Sweden),
    };
    const TSeconds moments[] = {EncodeDateTime(2024, 1, 31, 0, 0, 0), EncodeDateTime(2007, 12, 1, 23, 59, 58),
                                EncodeDateTime(1999, 7, 4, 12, 0, 1), EncodeDateTime(2030, 2, 28, 0, 30, 0)};
    for (const QLocale& locale : locales) {
        const DisplayFormat format = DisplayFormatFromLocale(locale);
        const std::string name = locale.name().toStdString();
        for (const TSeconds moment : moments) {
            const std::string dateText = FormatDateText(moment, format);
            EXPECT_NE(dateText.find(std::to_string(DecodeDateTime(moment).Year)), std::string::npos)
                << name << ": " << dateText;
            EXPECT_EQ(ParseDateText(dateText, format), StartOfDay(DayOf(moment))) << name << ": " << dateText;
            const std::string full = FormatDateTimeText(moment, format);
            EXPECT_EQ(ParseDateTimeText(full, format), moment) << name << ": " << full;
        }
        EXPECT_EQ(ParseSizeText(FormatSize(1536, format), format), 1536) << name;
    }
}

}  // namespace
}  // namespace brindle
