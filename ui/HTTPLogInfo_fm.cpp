#include "ui/HTTPLogInfo_fm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/Widgets_u.h"

namespace brindle {

TfmHTTPLogInfo::TfmHTTPLogInfo(QWidget* parent)
    : TfmmDialogDtlBottom(parent), edUserName_(NewEdit(paTop(), "edUserName")), edPassword_(NewEdit(paTop(), "edPassword")) {
    setObjectName("fmHTTPLogInfo");
    setWindowTitle(QtText("HTTP Web Server Login"));
    edPassword_->setEchoMode(QLineEdit::Password);
    edPassword_->setStyleSheet("lineedit-password-character: 42");

    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(paTop(), "laUserName", "User Name"), 0, 0);
    grid->addWidget(edUserName_, 0, 1);
    grid->addWidget(NewLabel(paTop(), "laPassword", "Password"), 1, 0);
    grid->addWidget(edPassword_, 1, 1);
    auto* layout = new QVBoxLayout(paTop());
    layout->addWidget(NewLabel(paTop(), "laInfo",
                               "Enter the login user name and password required\r\nto access this HTTP site. This info "
                               "is usually\r\n not required when accessing a web server."));
    layout->addLayout(grid);
}

int TfmHTTPLogInfo::Execute(std::string& userName, std::string& password) {
    edUserName_->setText(QtText(userName));
    edPassword_->setText(QtText(password));
    const int result = exec();
    if (result == QDialog::Accepted) {
        userName = StdText(edUserName_->text());
        password = StdText(edPassword_->text());
    }
    return result;
}

}  // namespace brindle
