#include <gtest/gtest.h>

#include <QString>
#include <sstream>

#include "core/Registre_u.h"
#include "support/ScriptedUi.h"
#include "ui/ConsoleUiServices.h"

namespace brindle {
namespace {

TEST(ConsoleUiServices, EveryMessageLineIsOneOutputLineAndQuestionsNeverWait) {
    struct Case {
        const char* what;
        std::function<bool(TUiServices&)> call;  // the answer, where there is one
        std::string printed;
        bool answer = false;
    };
    const Case cases[] = {
        {"error with CR LF",
         [](TUiServices& ui) {
             ui.ShowError("first\r\nsecond");
             return false;
         },
         "Error: first\nsecond\n"},
        {"empty lines kept",
         [](TUiServices& ui) {
             ui.ShowError("a\r\n\r\nb");
             return false;
         },
         "Error: a\n\nb\n"},
        {"bare LF and bare CR",
         [](TUiServices& ui) {
             ui.ShowWarning("a\nb\rc");
             return false;
         },
         "Warning: a\nb\nc\n"},
        {"text ending in a line end",
         [](TUiServices& ui) {
             ui.ShowInformation("done\r\n");
             return false;
         },
         "done\n\n"},
        {"empty message",
         [](TUiServices& ui) {
             ui.ShowError("");
             return false;
         },
         "Error: \n"},
        {"opening the result is declined",
         [](TUiServices& ui) { return ui.AskYesNo("Open it?", TQuestionKind::Silent); },
         "Question: Open it?\nAnswered No (no screen to ask on).\n", false},
        {"clearing is declined", [](TUiServices& ui) { return ui.AskYesNo("Clear?", TQuestionKind::Beep); },
         "Question: Clear?\nAnswered No (no screen to ask on).\n", false},
        {"creating a folder goes on",
         [](TUiServices& ui) { return ui.AskYesNo("Create it?\r\nSure?", TQuestionKind::Warning); },
         "Question: Create it?\nSure?\nAnswered Yes (no screen to ask on).\n", true},
        {"file dialogs are cancelled",
         [](TUiServices& ui) {
             return ui.AskOpenFileName("t", "f|*.x", "") || ui.AskSaveFileName("t", "f|*.x", "") ||
                    ui.AskFolder("t", "");
         },
         "", false},
        {"nothing is opened", [](TUiServices& ui) { return ui.OpenWithDesktop("/tmp/x.csv"); }, "", false},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        TConsoleUiServices ui(out);
        EXPECT_EQ(c.call(ui), c.answer) << c.what;
        EXPECT_EQ(out.str(), c.printed) << c.what;
    }
    EXPECT_TRUE(IsNoScreenPlatform("offscreen"));
    EXPECT_TRUE(IsNoScreenPlatform("minimal"));
    EXPECT_FALSE(IsNoScreenPlatform("xcb"));
    EXPECT_FALSE(IsNoScreenPlatform("wayland"));
}

// The dialogs of a run go through the messages, answered so that the run goes on, and the
// "don't show again" switches stay as they were.
TEST(ConsoleUiServices, DialogHooksAskThroughTheMessages) {
    test::TScriptedUi ui;
    ui.YesNoAnswers = {true, false};
    TMainHooks hooks;
    hooks.StartUpTips = [](std::int32_t, QWidget*) { return TTipsOutcome{}; };
    hooks = WithoutScreenDialogs(std::move(hooks), ui);
    EXPECT_FALSE(hooks.StartUpTips);

    bool dontShowAgain = true;
    EXPECT_TRUE(hooks.ConfirmDNS(dontShowAgain, nullptr));
    EXPECT_FALSE(dontShowAgain);
    ASSERT_EQ(ui.Questions.size(), 1u);
    EXPECT_NE(ui.Questions[0].find("DNS lookup"), std::string::npos);

    TRegData reg("unused.ini");
    reg.WordExport = true;
    EXPECT_FALSE(hooks.ConfirmWord(reg, false, nullptr));  // the scripted No
    EXPECT_TRUE(reg.WordExport);
    EXPECT_EQ(ui.Questions.size(), 2u);
    EXPECT_TRUE(hooks.ConfirmWord(reg, true, nullptr));  // silent: not asked
    reg.WordExport = false;
    EXPECT_TRUE(hooks.ConfirmWord(reg, false, nullptr));  // switched off: not asked
    EXPECT_EQ(ui.Questions.size(), 2u);
}

}  // namespace
}  // namespace brindle
