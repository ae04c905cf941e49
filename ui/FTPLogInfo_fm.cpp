#include "ui/FTPLogInfo_fm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <limits>

#include "core/CommonUtils_u.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

// The port typed; 0 when it is not a number.
std::int32_t PortOf(const QString& text) {
    std::int64_t value = 0;
    if (!TryParseInt64(StdText(text), value)) return 0;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(value);
}

}  // namespace

TfmFTPLogInfo::TfmFTPLogInfo(QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      fields_(NewLoginFields(paTop(),
                             "Enter the login user name and password required\r\nto access this FTP site. User Name "
                             "and password\r\nto most FTP sites are case sensitive.")),
      edPort_(NewEdit(paTop(), "edPort")),
      cbPassive_(NewCheckBox(paTop(), "cbPassive", "Passive FTP mode")) {
    setObjectName("fmFTPLogInfo");
    setWindowTitle(UiText("FTP Server Login"));
    fields_.Grid->addWidget(NewLabel(paTop(), "laPort", "Port"), 2, 0);
    fields_.Grid->addWidget(edPort_, 2, 1);
    fields_.Grid->addWidget(cbPassive_, 3, 1);
}

int TfmFTPLogInfo::Execute(std::string& userName, std::string& password, std::int32_t& passiveMode,
                           std::int32_t& port) {
    fields_.UserName->setText(UiText(userName));
    fields_.Password->setText(UiText(password));
    edPort_->setText(QString::number(port));
    cbPassive_->setChecked(passiveMode != 0);
    const int result = exec();
    if (result == QDialog::Accepted) {
        userName = StdText(fields_.UserName->text());
        password = StdText(fields_.Password->text());
        passiveMode = cbPassive_->isChecked() ? 1 : 0;
        port = PortOf(edPort_->text());
    }
    return result;
}

}  // namespace brindle
