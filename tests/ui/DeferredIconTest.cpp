// Icons the window sets up front but a run may never draw: made on first use, once, and then
// the same as the icon made at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include "IconPixels.h"
#include "ui/AppIcon_u.h"
#include "ui/DeferredIcon_u.h"

namespace brindle {
namespace {

TEST(DeferredIcon, IsMadeOnFirstUseOnlyAndLooksTheSame) {
    const QIcon eager = QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
    ASSERT_FALSE(eager.isNull());
    int made = 0;
    QIcon icon = DeferredIcon([&made] {
        ++made;
        return QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
    });
    const QIcon copy = icon;
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(made, 0) << "asking whether there is an icon must not make it";

    EXPECT_EQ(icon.actualSize(QSize(16, 16)), eager.actualSize(QSize(16, 16)));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(test::IconPixels(icon), test::IconPixels(eager));
    EXPECT_EQ(test::IconPixels(copy), test::IconPixels(eager));
    EXPECT_EQ(icon.availableSizes(), eager.availableSizes());
    EXPECT_EQ(made, 1);
}

TEST(DeferredIcon, AnEmptyIconIsNullOnceMade) {
    const QIcon icon = DeferredIcon([] { return QIcon(); });
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.pixmap(QSize(16, 16)).isNull());
    EXPECT_TRUE(icon.isNull());
}

TEST(DeferredIcon, TheProgramIconHoldsEverySizeDrawn) {
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    EXPECT_FALSE(icon.isNull());
}

}  // namespace
}  // namespace brindle
