// The tree icons read their file only when drawn: they must still look, measure and paint
// exactly as an icon read from the same file at once.
#include <gtest/gtest.h>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "IconPixels.h"
#include "core/AppPaths.h"
#include "ui/TreeIcons_u.h"

namespace brindle {
namespace {

QString IconPath(const QString& name) { return QString::fromStdString(AppPaths::ResourceDir()) + "icons/" + name; }

QImage Painted(const QIcon& icon, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(QPoint(0, 0), size));
    return image;
}

void ExpectSameIcon(const QIcon& lazy, const QString& file) {
    const QIcon eager(file);
    ASSERT_FALSE(eager.isNull()) << file.toStdString();
    ASSERT_FALSE(lazy.isNull()) << file.toStdString();
    // Measured before anything is drawn, as a view lays out its rows first.
    for (const QSize size : {QSize(16, 16), QSize(8, 8), QSize(32, 32), QSize(20, 10)})
        EXPECT_EQ(lazy.actualSize(size), eager.actualSize(size)) << file.toStdString();
    EXPECT_EQ(test::IconPixels(lazy), test::IconPixels(eager)) << file.toStdString();
    EXPECT_EQ(Painted(lazy, QSize(16, 16)), Painted(eager, QSize(16, 16))) << file.toStdString();
    EXPECT_EQ(Painted(lazy, QSize(24, 24)), Painted(eager, QSize(24, 24))) << file.toStdString();
    EXPECT_EQ(lazy.availableSizes(), eager.availableSizes()) << file.toStdString();
}

TEST(TreeIcons, DrawnIconsMatchTheirFiles) {
    int checked = 0;
    for (int image = 0; image < 60; ++image) {
        const QString base = QStringLiteral("report-%1").arg(image, 2, 10, QLatin1Char('0'));
        if (!QFile::exists(IconPath(base + ".png"))) {
            EXPECT_TRUE(ReportTreeIcon(image).isNull()) << image;
            continue;
        }
        ExpectSameIcon(ReportTreeIcon(image), IconPath(base + ".png"));
        // A row without an open picture keeps its closed one when expanded.
        const QString open = QFile::exists(IconPath(base + "-open.png")) ? base + "-open.png" : base + ".png";
        ExpectSameIcon(ReportTreeIcon(image, true), IconPath(open));
        ++checked;
    }
    EXPECT_GE(checked, 40);
    ExpectSameIcon(SelectionTreeIcon(TSelectionImage::FolderClosed), IconPath("folder-closed.png"));
    ExpectSameIcon(SelectionTreeIcon(TSelectionImage::FolderOpen), IconPath("folder-open.png"));
    ExpectSameIcon(SelectionTreeIcon(TSelectionImage::Table), IconPath("leaf-table.png"));
    ExpectSameIcon(SelectionTreeIcon(TSelectionImage::Chart), IconPath("leaf-chart.png"));
}

TEST(TreeIcons, CopiesDrawTheSamePicture) {
    const QIcon first = ReportTreeIcon(1, true);
    QIcon copy = first;
    const QByteArray pixels = test::IconPixels(first);
    EXPECT_EQ(test::IconPixels(copy), pixels);
    // Detaching clones the engine: the clone reads the file on its own.
    copy.addPixmap(QPixmap(4, 4));
    EXPECT_EQ(test::IconPixels(first), pixels);
}

}  // namespace
}  // namespace brindle
