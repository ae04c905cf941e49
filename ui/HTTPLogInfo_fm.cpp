#include "ui/HTTPLogInfo_fm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/Widgets_u.h"

namespace brindle {

TLoginFields NewLoginFields(QWidget* top, std::string_view info) {
    TLoginFields fields{NewEdit(top, "edUserName"), NewEdit(top, "edPassword"), new QGridLayout};
    fields.Password->setEchoMode(QLineEdit::Password);
    fields.Password->setStyleSheet("lineedit-password-character: 42");
    fields.Grid->addWidget(NewLabel(top, "laUserName", "User Name"), 0, 0);
    fields.Grid->addWidget(fields.UserName, 0, 1);
    fields.Grid->addWidget(NewLabel(top, "laPassword", "Password"), 1, 0);
    fields.Grid->addWidget(fields.Password, 1, 1);
    auto* layout = new QVBoxLayout(top);
    layout->addWidget(NewLabel(top, "laInfo", info));
    layout->addLayout(fields.Grid);
    return fields;
}

TfmHTTPLogInfo::TfmHTTPLogInfo(QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      fields_(NewLoginFields(paTop(),
                             "Enter the login user name and password required\r\nto access this HTTP site. This info "
                             "is usually\r\n not required when accessing a web server.")) {
    setObjectName("fmHTTPLogInfo");
    setWindowTitle(UiText("HTTP Web Server Login"));
}

int TfmHTTPLogInfo::Execute(std::string& userName, std::string& password) {
    fields_.UserName->setText(UiText(userName));
    fields_.Password->setText(UiText(password));
    const int result = exec();
    if (result == QDialog::Accepted) {
        userName = StdText(fields_.UserName->text());
        password = StdText(fields_.Password->text());
    }
    return result;
}

}  // namespace brindle
