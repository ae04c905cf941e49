// A pie of one slice is a whole disc: no radius is drawn across it, flat or tilted.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "views/ChartModel_u.h"
#include "views/ChartPainter_u.h"

namespace brindle {
namespace {

bool SliceColour(QRgb pixel) { return pixel == 0xFF4040FF || pixel == 0xFFFF4040 || pixel == 0xFFFFFF40; }

// A pie of the given values alone (no title, no legend), drawn on 600 x 350.
QImage DrawPieOf(std::initializer_list<double> values, bool tilted) {
    TChart chart;
    chart.Legend.Visible = false;
    chart.Title.Visible = false;
    chart.View3D = tilted;
    chart.View3DOptions.Orthogonal = !tilted;
    TChartSeries pie(skPie);
    pie.ColorEachPoint = true;
    const TColor colours[] = {0x4040FF, 0xFF4040, 0xFFFF40};
    std::size_t i = 0;
    for (double value : values) {
        pie.Add(value, "slice");
        pie.SetValueColor(i, colours[i % 3]);
        ++i;
    }
    chart.AddSeries(std::move(pie));
    QImage image(600, 350, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawChart(chart, painter, QRect(0, 0, 600, 350));
    return image;
}

// Pixels of the faces crossed by the vertical line through the pie's middle, and how many
// of them in the upper half are no slice's colour.
struct TRadius {
    int Face = 0;
    int Foreign = 0;
};

TRadius UpperRadius(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (SliceColour(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    TRadius radius;
    if (right < 0) return radius;
    const int cx = (left + right) / 2;
    const int cy = (top + bottom) / 2;
    // Off the rim by a few pixels: its antialiased edge is not the slice colour.
    for (int y = top + 4; y <= cy; ++y) {
        ++radius.Face;
        for (int dx = -1; dx <= 1; ++dx) radius.Foreign += !SliceColour(image.pixel(cx + dx, y));
    }
    return radius;
}

TEST(PieSlice, OneSliceDrawsNoRadius) {
    struct TCase {
        std::initializer_list<double> Values;
        bool Tilted;
    };
    // An empty slice beside the whole one changes nothing.
    const TCase cases[] = {{{10}, false}, {{10}, true}, {{10, 0}, false}, {{10, 0}, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Values.size() << " values, tilted " << c.Tilted);
        const QImage image = DrawPieOf(c.Values, c.Tilted);
        if (const char* keep = std::getenv("CHART_PNG_DIR"))
            image.save(QString("%1/pie-%2-%3.png").arg(keep).arg(c.Values.size()).arg(c.Tilted));
        const TRadius radius = UpperRadius(image);
        EXPECT_GT(radius.Face, 50);
        EXPECT_EQ(radius.Foreign, 0);
    }
}

// The check above does see a radius: two slices part at twelve o'clock.
TEST(PieSlice, TwoSlicesShowTheirEdge) {
    const TRadius radius = UpperRadius(DrawPieOf({5, 5}, false));
    EXPECT_GT(radius.Foreign, 0);
}

}  // namespace
}  // namespace brindle
