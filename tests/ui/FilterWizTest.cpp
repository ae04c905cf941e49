#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/DateTime_u.h"
#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "engine/LogConvert_filter.h"
#include "support/ScriptedUi.h"
#include "tests/ui/DialogDriver.h"
#include "ui/FilterPages_fr.h"
#include "ui/FilterWiz_fm.h"

namespace brindle {
namespace {

TRecFilterProperty Filter(std::uint8_t type, std::uint8_t kind, std::string value1 = {}, std::string value2 = {}) {
    return {type, kind, "Filter 1", std::move(value1), std::move(value2)};
}

class FilterWizTest : public ::testing::Test {
public:
    FilterWizTest() { options.LoadDefaults(); }

    template <class T>
    T* Find(const char* name) {
        T* widget = wiz.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    void Type(const char* name, const char* text) { Find<QLineEdit>(name)->setText(text); }
    void Pick(const char* name, int index) { Find<QComboBox>(name)->setCurrentIndex(index); }
    void PickText(const char* name, const char* text) {
        QComboBox* combo = Find<QComboBox>(name);
        const int index = combo->findText(text, Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << text;
        combo->setCurrentIndex(index);
    }
    void SetDateTime(const char* date, const char* time, QDate day, QTime clock) {
        Find<QDateEdit>(date)->setDate(day);
        Find<QTimeEdit>(time)->setTime(clock);
    }
    // Starts on the filter, ticks the kind's button and goes to page 2.
    void ToKindPage(const TRecFilterProperty& start, const char* kindButton = nullptr) {
        wiz.Begin(start);
        if (kindButton) Find<QRadioButton>(kindButton)->setChecked(true);
        Click("buNext");
        ASSERT_EQ(wiz.CurrentPage(), 2);
    }
    // Finish; the filter as the wizard left it.
    int Finish(TRecFilterProperty& filter) {
        Click("buNext");
        return wiz.End(wiz.result(), filter);
    }
    QString ComboText(const char* name) { return Find<QComboBox>(name)->currentText(); }

    TOptions options;
    test::TScriptedUi ui;
    TfmFilterWiz wiz{options, ui};
};

struct TKindCase {
    const char* Button;
    std::function<void(FilterWizTest&)> Enter;
    std::string Value1;
    std::string Value2;
    THitView Hit;  // a hit the analysis must find matching
};

class FilterWizKinds : public FilterWizTest {
public:
    std::vector<TKindCase> Cases() {
        THitView hit;
        auto with = [](THitView h, auto change) {
            change(h);
            return h;
        };
        return {
            {"rbUserAddress", [](FilterWizTest& t) { t.Type("edUserAddress", "10.1.*"); }, "10.1.*", "",
             with(hit, [](THitView& h) { h.Host = "10.1.2.3"; })},
            {"rbRequestFile", [](FilterWizTest& t) { t.Type("edRequestFile", "*.gif"); }, "*.gif", "",
             with(hit, [](THitView& h) { h.URI = "/img/a.GIF"; })},
            {"rbDate",
             [](FilterWizTest& t) {
                 t.SetDateTime("dtDateBegin", "dtTimeBegin", QDate(2006, 3, 5), QTime(14, 7, 9));
                 t.SetDateTime("dtDateEnd", "dtTimeEnd", QDate(2006, 12, 31), QTime(23, 59, 59));
             },
             "20060305140709", "20061231235959",
             with(hit, [](THitView& h) { h.Time = EncodeDateTime(2006, 3, 5, 14, 7, 9); })},
            {"rbDow", [](FilterWizTest& t) { t.Pick("cbDay", 6); }, "7", "",
             with(hit, [](THitView& h) { h.DayOfWeek = 7; })},
            {"rbHod", [](FilterWizTest& t) { t.Pick("cbHod", 23); }, "23", "",
             with(hit, [](THitView& h) { h.Hour = 23; })},
            {"rbDom", [](FilterWizTest& t) { t.Pick("cbDom", 30); }, "31", "",
             with(hit, [](THitView& h) { h.Day = 31; })},
            {"rbMonth", [](FilterWizTest& t) { t.Pick("cbMonth", 2); }, "3", "",
             with(hit, [](THitView& h) { h.Month = 3; })},
            {"rbReturnCode",
             [](FilterWizTest& t) {
                 t.PickText("cbRCFrom", "200 (OK)");
                 t.PickText("cbRCTo", "404 (Not Found)");
             },
             "200", "404", with(hit, [](THitView& h) { h.Status = 302; })},
            {"rbReferURL", [](FilterWizTest& t) { t.Type("edReferURL", "http://*.example.com/*"); },
             "http://*.example.com/*", "", with(hit, [](THitView& h) { h.Referrer = "http://www.example.com/a"; })},
            {"rbOS", [](FilterWizTest& t) { t.PickText("cbOS", "Windows Server 2003"); }, "Windows Server 2003", "",
             with(hit, [](THitView& h) { h.OS = "Windows Server 2003"; })},
            {"rbBrowser", [](FilterWizTest& t) { t.PickText("cbBrowser", "Firefox"); }, "Firefox", "",
             with(hit, [](THitView& h) { h.Browser = "Firefox"; })},
            {"rbSpider", [](FilterWizTest& t) { t.PickText("cbSpider", "Google"); }, "Google", "",
             with(hit, [](THitView& h) { h.Spider = "Google"; })},
            {"rbRequestType", [](FilterWizTest& t) { t.Find<QRadioButton>("rbHead")->setChecked(true); }, "HEAD", "",
             with(hit, [](THitView& h) { h.Method = "HEAD"; })},
            {"rbVirtualDomain", [](FilterWizTest& t) { t.Type("edVirtualDomain", "www.*"); }, "www.*", "",
             with(hit, [](THitView& h) { h.VDomain = "www.example.com"; })},
        };
    }
};

TEST_F(FilterWizKinds, EveryKindWritesTheFormTheAnalysisReadsAndLoadsItBack) {
    int kind = 11;
    for (const TKindCase& c : Cases()) {
        SCOPED_TRACE(c.Button);
        TRecFilterProperty filter = Filter(2, 11);
        ToKindPage(filter, c.Button);
        c.Enter(*this);
        ASSERT_EQ(Finish(filter), QDialog::Accepted);
        EXPECT_TRUE(ui.Warnings.empty());
        EXPECT_EQ(filter.FilterType, 2);
        EXPECT_EQ(filter.FilterItem, kind);
        EXPECT_EQ(filter.Name, "Filter 1");
        EXPECT_EQ(filter.Value1, c.Value1);
        EXPECT_EQ(filter.Value2, c.Value2);
        EXPECT_TRUE(MatchFilter(filter, c.Hit));
        EXPECT_FALSE(MatchFilter(filter, THitView{}));

        // Opened again and finished untouched, the filter stays as it is.
        const TRecFilterProperty stored = filter;
        ToKindPage(filter);
        ASSERT_EQ(Finish(filter), QDialog::Accepted);
        EXPECT_EQ(filter, stored);
        ++kind;
    }
}

TEST_F(FilterWizTest, ExecuteRunsBothPagesAndChangesTheFilterOnlyOnFinish) {
    TRecFilterProperty filter = Filter(1, 11);
    auto answered1 = test::WhenModal<TfmFilterWiz>([this](TfmFilterWiz&) {
        Type("edFilterName", "Local");
        Find<QRadioButton>("rbExclude")->setChecked(true);
        Click("buNext");
        Type("edUserAddress", "192.168.*");
        Click("buNext");
    });
    EXPECT_EQ(wiz.Execute(filter), QDialog::Accepted);
    EXPECT_TRUE(answered1->Answered);
    EXPECT_EQ(filter, (TRecFilterProperty{2, 11, "Local", "192.168.*", ""}));

    const TRecFilterProperty before = filter;
    auto answered2 = test::WhenModal<TfmFilterWiz>([this](TfmFilterWiz&) {
        Type("edFilterName", "Changed");
        Click("buNext");
        Click("buCancel");
    });
    EXPECT_EQ(wiz.Execute(filter), QDialog::Rejected);
    EXPECT_TRUE(answered2->Answered);
    EXPECT_EQ(filter, before);
}

TEST_F(FilterWizKinds, OneSizeForEveryPageAndTheValueFieldHasTheFocus) {
    const std::vector<std::string> valueFields{
        "edUserAddress", "edRequestFile", "dtDateBegin", "cbDay",     "cbHod",    "cbDom", "cbMonth",
        "cbRCFrom",      "edReferURL",    "cbOS",        "cbBrowser", "cbSpider", "rbGet", "edVirtualDomain"};
    wiz.Begin(Filter(1, 11));
    wiz.show();
    QApplication::processEvents();
    const QSize size = wiz.size();
    EXPECT_EQ(wiz.focusWidget()->objectName(), "edFilterName");
    std::size_t field = 0;
    for (const TKindCase& c : Cases()) {
        SCOPED_TRACE(c.Button);
        Find<QRadioButton>(c.Button)->setChecked(true);
        Click("buNext");
        QApplication::processEvents();
        EXPECT_EQ(wiz.size(), size);
        ASSERT_NE(wiz.focusWidget(), nullptr);
        EXPECT_EQ(wiz.focusWidget()->objectName().toStdString(), valueFields.at(field++));
        Click("buPrevious");
        QApplication::processEvents();
        EXPECT_EQ(wiz.size(), size);
    }
    EXPECT_EQ(field, valueFields.size());
    int tallest = 0;
    for (int kind = 11; kind <= 24; ++kind) tallest = std::max(tallest, wiz.KindPage(kind)->sizeHint().height());
    EXPECT_LE(Find<QWidget>("paPages")->height(),
              std::max(tallest, Find<QWidget>("frFilter01")->sizeHint().height()) + 10);
    wiz.hide();
}

TEST_F(FilterWizTest, PageOneRefusesAnEmptyName) {
    wiz.Begin(Filter(1, 11));
    Type("edFilterName", "");
    Click("buNext");
    EXPECT_EQ(wiz.CurrentPage(), 1);
    EXPECT_EQ(ui.Warnings, std::vector<std::string>{"Please enter a name for this filter."});
    EXPECT_FALSE(Find<QPushButton>("buPrevious")->isEnabled());
    EXPECT_EQ(Find<QPushButton>("buNext")->text(), "&Next >");
}

TEST_F(FilterWizTest, KindPagesRefuseWhatTheAnalysisCouldNotUse) {
    TRecFilterProperty filter = Filter(1, 11);
    ToKindPage(filter);
    EXPECT_EQ(Find<QPushButton>("buNext")->text(), "&Finish");
    EXPECT_TRUE(Find<QPushButton>("buPrevious")->isEnabled());
    EXPECT_NE(Finish(filter), QDialog::Accepted);
    EXPECT_EQ(wiz.CurrentPage(), 2);
    EXPECT_EQ(filter, Filter(1, 11));

    ToKindPage(Filter(1, 13));
    SetDateTime("dtDateBegin", "dtTimeBegin", QDate(2006, 3, 5), QTime(14, 7, 10));
    SetDateTime("dtDateEnd", "dtTimeEnd", QDate(2006, 3, 5), QTime(14, 7, 9));
    EXPECT_NE(Finish(filter), QDialog::Accepted);
    Find<QTimeEdit>("dtTimeBegin")->setTime(QTime(14, 7, 9));
    EXPECT_EQ(Finish(filter), QDialog::Accepted);
    EXPECT_EQ(filter.Value1, "20060305140709");
    EXPECT_EQ(filter.Value2, "20060305140709");

    ToKindPage(Filter(1, 18));
    PickText("cbRCFrom", "404 (");
    PickText("cbRCTo", "200 (");
    EXPECT_NE(Finish(filter), QDialog::Accepted);
    PickText("cbRCFrom", "200 (");
    EXPECT_EQ(Finish(filter), QDialog::Accepted);
    EXPECT_EQ(filter.Value1, "200");
    EXPECT_EQ(filter.Value2, "200");

    EXPECT_EQ(ui.Warnings, (std::vector<std::string>{
                               "You must specify filter text.",
                               "The beginning date/time specifies a later date than the ending date/time.",
                               "The upper bound must be greather or equal to the lower bound.",
                           }));
}

TEST_F(FilterWizTest, ChangingTheKindDropsTheValuesOfTheOtherKind) {
    TRecFilterProperty filter = Filter(1, 13, "20060305140709", "20061231235959");
    ToKindPage(filter);
    Click("buPrevious");
    EXPECT_EQ(wiz.CurrentPage(), 1);
    Find<QRadioButton>("rbRequestFile")->setChecked(true);
    Click("buNext");
    Type("edRequestFile", "/a.html");
    Click("buPrevious");
    Click("buNext");  // the same kind again keeps what was typed
    EXPECT_EQ(Find<QLineEdit>("edRequestFile")->text(), "/a.html");

    Click("buPrevious");
    Find<QRadioButton>("rbReferURL")->setChecked(true);
    Click("buNext");
    EXPECT_EQ(Find<QLineEdit>("edReferURL")->text(), "");
    EXPECT_FALSE(wiz.KindPage(12)->isVisibleTo(&wiz));
    EXPECT_TRUE(wiz.KindPage(19)->isVisibleTo(&wiz));
    Type("edReferURL", "*google*");
    ASSERT_EQ(Finish(filter), QDialog::Accepted);
    EXPECT_EQ(filter, (TRecFilterProperty{1, 19, "Filter 1", "*google*", ""}));
}

TEST_F(FilterWizTest, LoadingShowsStoredValuesAndFallsBackOnOddOnes) {
    struct TCase {
        TRecFilterProperty Start;
        const char* Combo;  // null: a check of its own below
        const char* Shown;
    };
    const TCase cases[] = {
        {Filter(1, 14, "3"), "cbDay", "Wednesday"},
        {Filter(1, 14, "9"), "cbDay", "Sunday"},
        {Filter(1, 14, "abc"), "cbDay", "Monday"},
        {Filter(1, 15, "30"), "cbHod", "23:00-24:00"},
        {Filter(1, 15, ""), "cbHod", "00:00-01:00"},
        {Filter(1, 16, "40"), "cbDom", "31"},
        {Filter(1, 17, "13"), "cbMonth", "December"},
        {Filter(1, 18, "abc", "999"), "cbRCFrom", "100 (Continue)"},
        {Filter(1, 18, "abc", "999"), "cbRCTo", "100 (Continue)"},
        {Filter(1, 18, "404", "404"), "cbRCTo", "404 (Not Found)"},
        {Filter(1, 20, "No such system"), "cbOS", "Windows Vista"},
        {Filter(1, 20, "Windows Server 2003"), "cbOS", "Windows Server 2003"},
        {Filter(1, 21, "Firefox"), "cbBrowser", "Firefox"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Shown);
        ToKindPage(c.Start);
        EXPECT_EQ(ComboText(c.Combo).toStdString(), c.Shown);
    }
}

TEST_F(FilterWizTest, LoadingOddValuesOfTheOtherPages) {
    ToKindPage(Filter(1, 23, "PUT"));
    EXPECT_TRUE(Find<QRadioButton>("rbGet")->isChecked());
    ToKindPage(Filter(1, 23, "POST"));
    EXPECT_TRUE(Find<QRadioButton>("rbPost")->isChecked());

    // A 13-character text reads its last digit as the second, as the analysis does.
    ToKindPage(Filter(1, 13, "2006030514070", "garbage"));
    EXPECT_EQ(Find<QDateEdit>("dtDateBegin")->date(), QDate(2006, 3, 5));
    EXPECT_EQ(Find<QTimeEdit>("dtTimeBegin")->time(), QTime(14, 7, 0));
    EXPECT_EQ(Find<QDateEdit>("dtDateEnd")->date(), QDate::currentDate());

    wiz.Begin({0, 99, "Odd", "", ""});
    EXPECT_TRUE(Find<QRadioButton>("rbInclude")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>("rbUserAddress")->isChecked());

    // A hand-edited day below the list shows no entry and is kept as it is.
    TRecFilterProperty filter = Filter(1, 14, "0");
    ToKindPage(filter);
    EXPECT_EQ(Find<QComboBox>("cbDay")->currentIndex(), -1);
    ASSERT_EQ(Finish(filter), QDialog::Accepted);
    EXPECT_EQ(filter.Value1, "0");
}

TEST_F(FilterWizTest, ListsHoldTheirEntries) {
    wiz.Begin(Filter(1, 11));
    QComboBox* hours = Find<QComboBox>("cbHod");
    ASSERT_EQ(hours->count(), 24);
    EXPECT_EQ(hours->itemText(0), "00:00-01:00");
    EXPECT_EQ(hours->itemText(9), "09:00-10:00");
    EXPECT_EQ(Find<QComboBox>("cbRCFrom")->count(), 41);
    EXPECT_EQ(Find<QComboBox>("cbDom")->count(), 31);
    EXPECT_EQ(Find<QComboBox>("cbDay")->itemText(0), "Monday");
    EXPECT_EQ(Find<QComboBox>("cbMonth")->itemText(11), "December");
    // Names shared by several match texts are listed once, in list order.
    QComboBox* browsers = Find<QComboBox>("cbBrowser");
    EXPECT_EQ(browsers->itemText(0).toStdString(), options.Browsers[0].Name);
    for (int i = 0; i < browsers->count(); ++i)
        EXPECT_EQ(browsers->findText(browsers->itemText(i), Qt::MatchFixedString | Qt::MatchCaseSensitive), i);
}

TEST_F(FilterWizTest, HelpShowsTheFiltersTopic) {
    wiz.Begin(Filter(1, 11));
    Click("buHelp");
    EXPECT_EQ(ui.HelpTopics, std::vector<std::string>{"html/filters.html"});
    EXPECT_EQ(wiz.windowTitle(), "Filter Wizard");
}

TEST(FilterStampTest, DigitsByPosition) {
    EXPECT_EQ(FormatFilterStamp({2006, 3, 5, 14, 7, 9}), "20060305140709");
    EXPECT_EQ(FormatFilterStamp({999, 12, 31, 0, 0, 0}), "09991231000000");
    const struct {
        const char* Text;
        bool Reads;
    } cases[] = {
        {"20060305140709", true},
        {"2006030514070", true},
        {"200603051407", false},
        {"20060230140709", false},
        {"20060305240709", false},
        {"2006030514070x", false},
        {"", false},
        {"00000101000000", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseFilterStamp(c.Text).has_value(), c.Reads) << c.Text;
    const auto parts = ParseFilterStamp("20060305140709");
    ASSERT_TRUE(parts);
    EXPECT_EQ(FormatFilterStamp(*parts), "20060305140709");
}

}  // namespace
}  // namespace brindle
