#pragma once
// One log-file location: scheme, path and the log-in of FTP and HTTP locations.
#include "core/Profiles_u.h"
#include "ui/mDialogDtlBottom_fm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class TUiServices;

class TfmLogFile : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    explicit TfmLogFile(TUiServices& ui, QWidget* parent = nullptr);

    // The location changes only on OK (its Enable never); the modal result.
    int Execute(TRecLogFileProperty& location);

protected:
    bool Validate() override;

private:
    void SchemeChanged();
    void LoginClick();

    TUiServices& ui_;
    QComboBox* cbLogFileType_;
    QLineEdit* edLogFileURL_;
    QLabel* laInfo_;
    QPushButton* buLogin_;
    // The log-in as last confirmed.
    TRecLogFileProperty login_;
};

}  // namespace brindle
