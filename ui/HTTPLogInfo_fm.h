#pragma once
// The log-in of an HTTP log-file location.
#include <string>

#include "ui/mDialogDtlBottom_fm.h"

class QLineEdit;

namespace brindle {

class TfmHTTPLogInfo : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    explicit TfmHTTPLogInfo(QWidget* parent = nullptr);

    // The values change only on OK; the modal result.
    int Execute(std::string& userName, std::string& password);

private:
    QLineEdit* edUserName_;
    QLineEdit* edPassword_;
};

}  // namespace brindle
