#pragma once
// The progress window of a long job: the steps done so far (image, time, text), an info
// line, a bar with its percentage and a Cancel button that calls back into the job's owner.
// It is a top-level window without a parent, so it stays usable while the main window is
// disabled (a child of a disabled window is disabled too); the main window is only its
// transient parent, which keeps it above that window. It must be of dialog type: X11 tells
// the window manager about a transient parent (WM_TRANSIENT_FOR) only for dialog-type
// windows, and without it one click on the main window would bury the progress and Cancel.
#include <QDialog>
#include <QIcon>
#include <functional>
#include <optional>
#include <string>

#include "core/DateTime_u.h"
#include "core/DisplayFormat.h"
#include "ui/ProgressPace_u.h"

class QCloseEvent;
class QShowEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace brindle {

class TfmmProgress2 : public QDialog {
    Q_OBJECT
public:
    TfmmProgress2();

    // Step images: 0 done, 1 information, 2 aborted.
    static constexpr int kStepImageCount = 3;

    // Appends a step; its time column is empty when Time is 0.
    void AddStep(int image, const std::string& text, TSeconds time);
    // Info text empty, position 0, no steps.
    void Reset();
    void SetInfo(const std::string& text);
    // Clamped to 0..100; the label shows "<n> %".
    void SetPosition(int position);

    // Keeps the latest progress of a running job without touching the window.
    void PostProgress(int position, const std::string& text);
    // Shows the latest progress when the window's turn has come (about 30 times a second)
    // and tells whether it has: the caller then lets pending events run.
    bool CatchUp();

    // Stays above Owner's window, and enabled while Owner is disabled.
    void SetTransientOwner(QWidget* owner);

    // Called by the Cancel button and by closing the window; unset, both just close it.
    std::function<void()> OnCancel;
    // Patterns of the time column.
    DisplayFormat Format;

    QTreeWidget* lvStep() const { return lvStep_; }
    QLabel* laInfo() const { return laInfo_; }
    QProgressBar* pb() const { return pb_; }
    QLabel* laPercent() const { return laPercent_; }
    QPushButton* buCancel() const { return buCancel_; }
    TProgressPace& Pace() { return pace_; }

    // Escape asks the owner too instead of hiding the window under a running job.
    void reject() override;
    // Sizes what text measurements size first: a window never shown measures no text, which
    // would load the fonts for nothing.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buCancelClick();
    // Widens the time column to the steps added since it was last sized.
    void FitTimeColumn();

    QTreeWidget* lvStep_;
    QLabel* laInfo_;
    QProgressBar* pb_;
    QLabel* laPercent_;
    QPushButton* buCancel_;
    QIcon ilStep_[kStepImageCount];
    TProgressPace pace_;
    struct TPosted {
        int Position = 0;
        std::string Text;
    };
    std::optional<TPosted> posted_;
    bool measured_ = false;  // the texts that size the window were measured
    int unfittedFrom_ = 0;  // the first step the time column was not sized to
};

}  // namespace brindle
