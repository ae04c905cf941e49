#include <gtest/gtest.h>

#include <QLabel>
#include <QSet>
#include <QString>

#include "core/Options_u.h"
#include "support/ScriptedUi.h"
#include "tests/ui/FindChild.h"
#include "ui/FilterKinds_u.h"
#include "ui/FilterWiz_fm.h"
#include "ui/Filter_fr.h"
#include "ui/UiText_u.h"

namespace brindle {
namespace {

// The wizard finds a kind's page by its position in the table: a row left out or out of
// order would give a kind the wrong page, or none.
TEST(FilterKindsTest, OneRowPerKindInKindOrder) {
    const auto rows = FilterKindPages();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kFilterKindCount));
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].Kind, kFirstFilterKind + static_cast<int>(i));
}

// A row copied into another kind and not fully edited shows the wrong explanation or
// gives two pages one control name.
TEST(FilterKindsTest, EveryPageHasItsNameItsOwnExplanationAndItsNamedControl) {
    TOptions options;
    options.LoadDefaults();
    test::TScriptedUi ui;
    TfmFilterWiz wiz{options, ui};
    QSet<QString> infos;
    QSet<QString> controls;
    for (const TFilterKindPage& row : FilterKindPages()) {
        SCOPED_TRACE(row.Kind);
        const TfrFilter* page = wiz.KindPage(row.Kind);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->objectName(), QStringLiteral("frFilter%1").arg(row.Kind));
        const QLabel* info = test::Child<QLabel>(page, "laInfo");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->text(), UiText(row.Info));
        infos.insert(info->text());
        if (row.ControlName) {
            EXPECT_NE(test::Child<QWidget>(page, row.ControlName), nullptr);
            controls.insert(QString::fromLatin1(row.ControlName));
        }
    }
    EXPECT_EQ(infos.size(), kFilterKindCount);
    EXPECT_EQ(controls.size(), 11);
}

}  // namespace
}  // namespace brindle
