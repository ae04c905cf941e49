#pragma once
// The log-in of an HTTP log-file location, and the rows every log-in dialog shares.
#include <string>
#include <string_view>

#include "ui/mDialogDtlBottom_fm.h"

class QGridLayout;
class QLineEdit;

namespace brindle {

// The info text over the user name and the masked password of a log-in dialog; more rows
// may follow on Grid (rows 0 and 1 are taken).
struct TLoginFields {
    QLineEdit* UserName;
    QLineEdit* Password;
    QGridLayout* Grid;
};
TLoginFields NewLoginFields(QWidget* top, std::string_view info);

class TfmHTTPLogInfo : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    explicit TfmHTTPLogInfo(QWidget* parent = nullptr);

    // The values change only on OK; the modal result.
    int Execute(std::string& userName, std::string& password);

private:
    TLoginFields fields_;
};

}  // namespace brindle
