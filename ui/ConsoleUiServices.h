#pragma once
// The message boxes of a run without a screen (cron, ssh, QT_QPA_PLATFORM=offscreen): no box
// could be seen or answered there, so every message goes to a stream (standard error) and
// nothing ever waits.
#include <ostream>

#include "ui/MainHooks.h"
#include "ui/UiServices.h"

class QString;

namespace brindle {

// True for the Qt platforms that have no screen to show a box on.
bool IsNoScreenPlatform(const QString& platformName);

// Keeps the screenless platform's complaints about window features it lacks out of
// standard error, where they would bury the program's own messages in a cron log.
void QuietNoScreenPlatformWarnings();

class TConsoleUiServices : public TUiServices {
public:
    explicit TConsoleUiServices(std::ostream& out) : out_(out) {}

    bool ShowsBoxes() const override { return false; }

    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    // Printed with the answer taken. A warning question (create a folder, convert an old
    // document) is answered Yes so the run can do its job; the others (delete, clear, open
    // the result in a desktop program) No, which harms nothing.
    bool AskYesNo(const std::string& text, TQuestionKind kind) override;
    // No one can pick a file: every file dialog counts as cancelled.
    std::optional<std::string> AskOpenFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override;
    std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                               const std::string& initial) override;
    std::optional<std::string> AskFolder(const std::string& title, const std::string& initial) override;
    // Nothing is opened: a desktop program started from cron would wait for ever too.
    bool OpenWithDesktop(const std::string& pathOrUrl) override;
    void ShowHelpTopic(const std::string& topic) override;

private:
    // One output line per message line, whatever its line ends; Kind leads the first.
    void Print(const char* kind, const std::string& text);

    std::ostream& out_;
};

// The program's hooks with the dialogs that would wait for an answer replaced: no tips at
// start, the reverse-DNS and Word notices answered Yes through Ui (and printed there).
TMainHooks WithoutScreenDialogs(TMainHooks hooks, TUiServices& ui);

}  // namespace brindle
