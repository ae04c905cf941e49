#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <string>

#include "core/CommonUtils_u.h"
#include "views/ChartLabels_u.h"

namespace brindle {
namespace {

QFontMetrics ChartMetrics() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return QFontMetrics(font);
}

int Count(const QString& text, const QString& part) { return static_cast<int>(text.count(part)); }

TEST(ChartLabels, LongLabelsAreCutOnceOnTheRendererSide) {
    const QFontMetrics metrics = ChartMetrics();
    const std::string path = "/archive/2006/photos/holidays/seaside/sunset-over-the-harbour-at-dusk.jpeg";
    const std::string name = "A very long authenticated user name that goes on and on and on";
    const QString cutLeft = QString::fromStdString(TruncateLeft(path, 50));
    const QString cutRight = QString::fromStdString(TruncateRight(name, 50));
    const QString uncut = QStringLiteral("www.a-domain-that-is-long-but-under-fifty.example");
    ASSERT_TRUE(cutLeft.startsWith("...") && cutRight.endsWith("..."));

    const struct {
        const char* Name;
        QString Text;
        int Width;
        Qt::TextElideMode Uncut;
    } cases[] = {
        {"cut left, narrow", cutLeft, 120, Qt::ElideMiddle},  {"cut left, very narrow", cutLeft, 30, Qt::ElideMiddle},
        {"cut right, narrow", cutRight, 150, Qt::ElideRight}, {"cut right, legend width", cutRight, 90, Qt::ElideRight},
        {"uncut, middle", uncut, 110, Qt::ElideMiddle},       {"uncut, right", uncut, 110, Qt::ElideRight},
        {"fits whole", cutLeft, 2000, Qt::ElideMiddle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString shown = FitChartLabel(c.Text, metrics, c.Width, c.Uncut);
        const int marks = Count(shown, "...") + Count(shown, QString(QChar(0x2026)));
        if (metrics.horizontalAdvance(c.Text) <= c.Width) {
            EXPECT_EQ(shown, c.Text);
            continue;
        }
        EXPECT_EQ(marks, 1) << shown.toStdString();
        // Only the dots themselves may overflow a width too small for any character.
        if (shown.size() > 3) {
            EXPECT_LE(metrics.horizontalAdvance(shown), c.Width) << shown.toStdString();
        }
        if (c.Text.startsWith("...")) {
            EXPECT_TRUE(shown.startsWith("...")) << shown.toStdString();
            EXPECT_TRUE(c.Text.endsWith(shown.mid(3))) << shown.toStdString();
        } else if (c.Text.endsWith("...")) {
            EXPECT_TRUE(shown.endsWith("...")) << shown.toStdString();
            EXPECT_TRUE(c.Text.startsWith(shown.chopped(3))) << shown.toStdString();
        }
    }
}

TEST(ChartLabels, CuttingNeverSplitsASurrogatePair) {
    const QFontMetrics metrics = ChartMetrics();
    QString emoji;
    for (int i = 0; i < 30; ++i) emoji += QString::fromUcs4(U"\U0001F600");
    for (int width = 10; width < 200; width += 7) {
        const QString right = FitChartLabel(emoji + "...", metrics, width, Qt::ElideRight);
        const QString left = FitChartLabel("..." + emoji, metrics, width, Qt::ElideRight);
        EXPECT_TRUE(QStringView(right).isValidUtf16()) << width;
        EXPECT_TRUE(QStringView(left).isValidUtf16()) << width;
    }
}

TEST(ChartLabels, PieLegendSharesAllShowTwoDecimals) {
    DisplayFormat comma;
    comma.DecimalSeparator = ",";
    const struct {
        double Part;
        double Total;
        const DisplayFormat& Format;
        const char* Expected;
    } cases[] = {
        {1, 8, DefaultDisplayFormat(), "12.50 %"},     {1, 2, DefaultDisplayFormat(), "50.00 %"},
        {1, 3, DefaultDisplayFormat(), "33.33 %"},     {2, 3, DefaultDisplayFormat(), "66.67 %"},
        {5, 5, DefaultDisplayFormat(), "100.00 %"},    {1, 1000, DefaultDisplayFormat(), "0.10 %"},
        {1, 100000, DefaultDisplayFormat(), "0.00 %"}, {1, 400, DefaultDisplayFormat(), "0.25 %"},
        {0, 0, DefaultDisplayFormat(), "0.00 %"},      {1, 8, comma, "12,50 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LegendPercentText(c.Part, c.Total, c.Format).toStdString(), c.Expected) << c.Part << "/" << c.Total;
}

}  // namespace
}  // namespace brindle
