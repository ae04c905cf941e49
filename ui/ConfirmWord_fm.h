#pragma once
// The notice before a Word export: the template's macros may be blocked by Word's macro
// security.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace brindle {

class TRegData;

class TfmConfirmWord : public QDialog {
    Q_OBJECT
public:
    explicit TfmConfirmWord(QWidget* parent = nullptr);

    // QDialog::Accepted for Yes, Rejected for No; NoShow is the state of the check box.
    int Execute(bool& noShow);

private:
    QLabel* laConfirm_;
    QCheckBox* cbNoShow_;
    QPushButton* buYes_;
    QPushButton* buNo_;
};

// Before a Word export: unless the notice is switched off or the run is silent, shows it and
// switches the notice off when its check box is ticked (whatever the answer; kept in memory,
// the window saves the settings). True when the export goes on.
bool ConfirmWordExport(TRegData& regData, bool silent, QWidget* parent = nullptr);

}  // namespace brindle
