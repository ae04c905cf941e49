#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "DialogDriver.h"
#include "ui/ProgressPace_u.h"
#include "ui/QtUiServices.h"

namespace brindle {
namespace {

using test::WhenModal;

// What the box showed and which button the user pressed.
struct Shown {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons;
};

template <class Ask>
Shown ShowAndPress(QMessageBox::StandardButton press, Ask ask) {
    Shown shown;
    const auto answered = WhenModal<QMessageBox>([&](QMessageBox& box) {
        shown.Icon = box.icon();
        shown.Buttons = box.standardButtons();
        if (QAbstractButton* button = box.button(press))
            button->click();
        else
            box.reject();
    });
    ask();
    EXPECT_TRUE(answered->Answered);
    return shown;
}

TEST(QuestionBox, ButtonsIconsAndAnswers) {
    TQtUiServices ui;
    using B = QMessageBox;
    struct Case {
        TQuestionKind kind;
        bool withCancel;
        B::StandardButton press;
        B::Icon icon;
        TAnswer answer;
    };
    const Case cases[] = {
        {TQuestionKind::Warning, true, B::Yes, B::Warning, TAnswer::Yes},
        {TQuestionKind::Warning, true, B::No, B::Warning, TAnswer::No},
        {TQuestionKind::Warning, true, B::Cancel, B::Warning, TAnswer::Cancel},
        {TQuestionKind::Information, false, B::Yes, B::Information, TAnswer::Yes},
        {TQuestionKind::Information, false, B::No, B::Information, TAnswer::No},
        {TQuestionKind::Silent, false, B::Yes, B::Question, TAnswer::Yes},
        {TQuestionKind::Beep, false, B::No, B::Question, TAnswer::No},
    };
    for (const Case& c : cases) {
        TAnswer answer = TAnswer::Cancel;
        const Shown shown = ShowAndPress(c.press, [&] {
            answer = c.withCancel ? ui.AskYesNoCancel("Create?", c.kind)
                                  : (ui.AskYesNo("Open?", c.kind) ? TAnswer::Yes : TAnswer::No);
        });
        const B::StandardButtons buttons = c.withCancel ? B::Yes | B::No | B::Cancel : B::Yes | B::No;
        EXPECT_EQ(shown.Buttons, buttons) << static_cast<int>(c.kind);
        EXPECT_EQ(shown.Icon, c.icon) << static_cast<int>(c.kind);
        EXPECT_EQ(answer, c.answer) << static_cast<int>(c.kind) << " " << c.press;
    }
}

TEST(ProgressPace, DueAtMostOncePerInterval) {
    using namespace std::chrono_literals;
    TProgressPace pace(33ms);
    const TProgressPace::TClock::time_point t0{};
    // Each step: time since t0 and whether the window's turn has come.
    const std::pair<std::chrono::milliseconds, bool> steps[] = {
        {0ms, true},   {1ms, false}, {32ms, false}, {33ms, true},   {40ms, false},
        {65ms, false}, {66ms, true}, {500ms, true}, {501ms, false},
    };
    for (const auto& [at, due] : steps) EXPECT_EQ(pace.Due(t0 + at), due) << at.count();
    pace.Restart();
    EXPECT_TRUE(pace.Due(t0 + 502ms));
    EXPECT_FALSE(pace.Due(t0 + 503ms));
}

}  // namespace
}  // namespace brindle
