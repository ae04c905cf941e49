#pragma once
// The question before analysing a profile with reverse DNS, with a switch to stop asking.
#include <QDialog>

class QCheckBox;

namespace brindle {

class TfmConfirmDNS : public QDialog {
    Q_OBJECT
public:
    explicit TfmConfirmDNS(QWidget* parent = nullptr);

    // Starts with the switch unticked; true for Yes, false for No (closing the window is
    // No). DontShowAgain gets the switch's final state.
    bool Execute(bool& dontShowAgain);
    // Execute's first step without running the dialog.
    void Prepare();
    bool DontShowAgain() const;

private:
    QCheckBox* cbNoShow_;
};

}  // namespace brindle
