#include "ui/LogFile_fm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/FTPLogInfo_fm.h"
#include "ui/HTTPLogInfo_fm.h"
#include "ui/UiServices.h"
#include "ui/Widgets_u.h"

namespace brindle {
namespace {

constexpr const char* kFile = "file://";
constexpr const char* kFTP = "ftp://";
constexpr const char* kHTTP = "http://";

constexpr std::string_view kFileInfo =
    "Specify whether your log files are stored. You can use\r\nwildcards (*,?) and macros. You can also "
    "specify\r\ncompressed log files such as zip and gz files.\r\n\r\nExample: /var/log/apache2/access.log";
constexpr std::string_view kFTPInfo =
    "Specify the URL and login username and password to\r\naccess your log file via FTP. You can use wildcards "
    "(*)\r\nand macros. You can also specify compressed log files\r\nsuch as zip and gz files.\r\n\r\n"
    "Example: ftp.example.com/logs/access_%yyyy%%mm%%dd%.log";
constexpr std::string_view kHTTPInfo =
    "Specify the URL to access your log file via HTTP. You\r\ncan use macros. You can also specify compressed "
    "log\r\nfiles such as zip and gz files.\r\nIf your logs are password protected, specify login\r\nusername and "
    "password.\r\n\r\nExample: www.example.com/logs/access.log.gz";
constexpr std::string_view kLogFilter = "Log files (*.log;*.zip;*.gz;*.txt)|*.log;*.zip;*.gz;*.txt|All files (*.*)|*.*";

}  // namespace

TfmLogFile::TfmLogFile(TUiServices& ui, QWidget* parent)
    : TfmmDialogDtlBottom(parent),
      ui_(ui),
      cbLogFileType_(new QComboBox(paTop())),
      edLogFileURL_(NewEdit(paTop(), "edLogFileURL")),
      laInfo_(NewLabel(paTop(), "laInfo", "")),
      buLogin_(NewButton(paTop(), "buLogin", "Browse...")) {
    setObjectName("fmLogFile");
    setWindowTitle(UiText("Log File"));
    cbLogFileType_->setObjectName("cbLogFileType");
    cbLogFileType_->addItems({kFile, kFTP, kHTTP});

    auto* path = new QGridLayout;
    path->addWidget(NewLabel(paTop(), "laLogFileURL", "Log File Path:"), 0, 0, 1, 3);
    path->addWidget(cbLogFileType_, 1, 0);
    path->addWidget(edLogFileURL_, 1, 1);
    path->addWidget(buLogin_, 1, 2);
    path->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(paTop());
    layout->addLayout(path);
    layout->addWidget(laInfo_);
    layout->addStretch();
    resize(560, sizeHint().height());

    connect(cbLogFileType_, &QComboBox::currentIndexChanged, this, &TfmLogFile::SchemeChanged);
    connect(buLogin_, &QPushButton::clicked, this, &TfmLogFile::LoginClick);
    SchemeChanged();
}

int TfmLogFile::Execute(TRecLogFileProperty& location) {
    login_ = location;
    const int scheme = cbLogFileType_->findText(UiText(location.LogFileType));
    cbLogFileType_->setCurrentIndex(scheme < 0 ? 0 : scheme);
    edLogFileURL_->setText(UiText(location.LogFileURL));
    SchemeChanged();
    edLogFileURL_->setFocus(Qt::OtherFocusReason);
    const int result = exec();
    if (result == QDialog::Accepted) {
        location.LogFileType = StdText(cbLogFileType_->currentText());
        location.LogFileURL = StdText(edLogFileURL_->text());
        location.LoginUserName = login_.LoginUserName;
        location.LoginPassword = login_.LoginPassword;
        location.PassiveMode = login_.PassiveMode;
        location.LoginPort = login_.LoginPort;
    }
    return result;
}

bool TfmLogFile::Validate() {
    if (!edLogFileURL_->text().isEmpty()) return true;
    ui_.ShowWarning("Please specify a full path to you log file.");
    edLogFileURL_->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfmLogFile::SchemeChanged() {
    const QString scheme = cbLogFileType_->currentText();
    if (scheme == kFTP)
        laInfo_->setText(UiText(kFTPInfo));
    else if (scheme == kHTTP)
        laInfo_->setText(UiText(kHTTPInfo));
    else
        laInfo_->setText(UiText(kFileInfo));
    buLogin_->setText(UiText(scheme == kFile ? "Browse..." : "Login..."));
}

void TfmLogFile::LoginClick() {
    const QString scheme = cbLogFileType_->currentText();
    if (scheme == kFTP) {
        TfmFTPLogInfo dialog(this);
        dialog.Execute(login_.LoginUserName, login_.LoginPassword, login_.PassiveMode, login_.LoginPort);
    } else if (scheme == kHTTP) {
        TfmHTTPLogInfo dialog(this);
        dialog.Execute(login_.LoginUserName, login_.LoginPassword);
    } else if (auto name = ui_.AskOpenFileName("", std::string(kLogFilter), StdText(edLogFileURL_->text()))) {
        edLogFileURL_->setText(UiText(*name));
    }
}

}  // namespace brindle
