#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "core/CommonUtils_u.h"
#include "core/DateTime_u.h"
#include "ui/Progress_fm.h"

namespace brindle {
namespace {

TEST(ProgressDialog, PositionIsClampedAndShownInPercent) {
    TfmProgress dialog;
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {1, 1}, {99, 99}, {100, 100}, {250, 100}};
    for (const auto& [given, shown] : cases) {
        dialog.SetPosition(given);
        EXPECT_EQ(dialog.pb()->value(), shown) << given;
        EXPECT_EQ(dialog.laPercent()->text().toStdString(), std::to_string(shown) + " %") << given;
    }
}

// Steps added while the window is hidden (a run without a screen adds one per log file)
// are not scrolled to one by one; shown, the window shows the latest, as it does while open.
TEST(ProgressDialog, TheLatestStepIsInViewHiddenOrShown) {
    TfmProgress dialog;
    const auto lastInView = [&dialog] {
        QTreeWidget* steps = dialog.lvStep();
        const QRect last = steps->visualItemRect(steps->topLevelItem(steps->topLevelItemCount() - 1));
        return steps->viewport()->rect().contains(last);
    };
    for (int i = 0; i < 200; ++i) dialog.AddStep(1, "Reading file " + std::to_string(i), 0);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(lastInView());
    for (int i = 0; i < 50; ++i) dialog.AddStep(1, "Still reading " + std::to_string(i), 0);
    QApplication::processEvents();
    EXPECT_TRUE(lastInView());
    dialog.hide();
    dialog.Reset();
    for (int i = 0; i < 200; ++i) dialog.AddStep(0, "Again " + std::to_string(i), 0);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(lastInView());
}

// A hidden window measures no text; shown, it is sized as if it had been open all along.
TEST(ProgressDialog, StepsAddedHiddenSizeTheTimeColumnWhenShown) {
    const TSeconds time = EncodeDateTime(2024, 12, 30, 23, 59, 58);
    TfmProgress open;
    open.show();
    TfmProgress hidden;
    for (TfmProgress* dialog : {&open, &hidden}) {
        dialog->AddStep(0, "Initializing", 0);
        dialog->AddStep(1, "Reading", time);
    }
    EXPECT_EQ(hidden.laPercent()->minimumWidth(), 0);
    hidden.show();
    QApplication::processEvents();
    EXPECT_EQ(hidden.lvStep()->columnWidth(0), open.lvStep()->columnWidth(0));
    EXPECT_GT(open.lvStep()->columnWidth(0), open.lvStep()->fontMetrics().horizontalAdvance(
                                                 QString::fromStdString(FormatTimeText(time, open.Format))));
    EXPECT_EQ(hidden.laPercent()->minimumWidth(), open.laPercent()->minimumWidth());
    EXPECT_GT(hidden.laPercent()->minimumWidth(), hidden.laPercent()->fontMetrics().horizontalAdvance("100 %"));
    // A cleared list sizes the column from its own steps again, never narrower than before.
    const int wide = hidden.lvStep()->columnWidth(0);
    hidden.hide();
    hidden.Reset();
    hidden.AddStep(0, "Done", 0);
    hidden.show();
    EXPECT_EQ(hidden.lvStep()->columnWidth(0), wide);
}

TEST(ProgressDialog, StepsShowTheirTimeUnlessItIsZero) {
    TfmProgress dialog;
    dialog.AddStep(0, "Initializing", 0);
    const TSeconds time = EncodeDateTime(2024, 5, 6, 13, 4, 5);
    dialog.AddStep(2, "Aborted by user", time);
    ASSERT_EQ(dialog.lvStep()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.lvStep()->topLevelItem(0)->text(0), "");
    EXPECT_EQ(dialog.lvStep()->topLevelItem(0)->text(1), "Initializing");
    EXPECT_EQ(dialog.lvStep()->topLevelItem(1)->text(0).toStdString(), FormatTimeText(time, dialog.Format));
    EXPECT_EQ(dialog.lvStep()->topLevelItem(1)->text(1), "Aborted by user");
    EXPECT_FALSE(dialog.lvStep()->topLevelItem(1)->icon(0).isNull());

    dialog.SetInfo("Reading");
    dialog.SetPosition(40);
    dialog.Reset();
    EXPECT_EQ(dialog.lvStep()->topLevelItemCount(), 0);
    EXPECT_EQ(dialog.laInfo()->text(), "");
    EXPECT_EQ(dialog.laPercent()->text(), "0 %");
}

TEST(ProgressDialog, CloseBoxAndEscapeCallOnCancelOnceAndStayOpen) {
    TfmProgress dialog;
    EXPECT_EQ(dialog.buCancel()->text(), "Cancel");
    EXPECT_TRUE(dialog.isWindow());
    int cancels = 0;
    dialog.OnCancel = [&] { ++cancels; };
    dialog.show();
    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(dialog.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
    EXPECT_EQ(cancels, 2);
    EXPECT_TRUE(dialog.isVisible());
    dialog.buCancel()->click();
    EXPECT_EQ(cancels, 3);
    EXPECT_TRUE(dialog.isVisible());

    // Without an owner's handler both simply close it.
    dialog.OnCancel = nullptr;
    dialog.buCancel()->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    EXPECT_TRUE(dialog.close());
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace brindle
