#pragma once
// The log-in of an FTP log-file location.
#include <cstdint>
#include <string>

#include "ui/HTTPLogInfo_fm.h"
#include "ui/mDialogDtlBottom_fm.h"

class QCheckBox;
class QLineEdit;

namespace brindle {

class TfmFTPLogInfo : public TfmmDialogDtlBottom {
    Q_OBJECT
public:
    explicit TfmFTPLogInfo(QWidget* parent = nullptr);

    // The values change only on OK; the modal result.
    int Execute(std::string& userName, std::string& password, std::int32_t& passiveMode, std::int32_t& port);

private:
    TLoginFields fields_;
    QLineEdit* edPort_;
    QCheckBox* cbPassive_;
};

}  // namespace brindle
