#include "ui/QtUiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include "core/AppPaths.h"

namespace brindle {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Title() { return QString::fromUtf8(kApplicationTitle.data(), static_cast<int>(kApplicationTitle.size())); }

}  // namespace

QWidget* TQtUiServices::Owner() const {
    if (owner_) return owner_;
    return QApplication::activeWindow();
}

void TQtUiServices::ShowError(const std::string& text) {
    QApplication::beep();
    QMessageBox::critical(Owner(), Title(), Q(text));
}

void TQtUiServices::ShowWarning(const std::string& text) {
    QApplication::beep();
    QMessageBox::warning(Owner(), Title(), Q(text));
}

void TQtUiServices::ShowInformation(const std::string& text) { QMessageBox::information(Owner(), Title(), Q(text)); }

int TQtUiServices::Ask(const std::string& text, TQuestionKind kind, int buttons) {
    if (kind == TQuestionKind::Beep || kind == TQuestionKind::Warning) QApplication::beep();
    const auto icon = kind == TQuestionKind::Warning       ? QMessageBox::Warning
                      : kind == TQuestionKind::Information ? QMessageBox::Information
                                                           : QMessageBox::Question;
    QMessageBox box(icon, Title(), Q(text), QMessageBox::StandardButtons(buttons), Owner());
    return box.exec();
}

bool TQtUiServices::AskYesNo(const std::string& text, TQuestionKind kind) {
    return Ask(text, kind, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TAnswer TQtUiServices::AskYesNoCancel(const std::string& text, TQuestionKind kind) {
    switch (Ask(text, kind, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
    }
}

QString TQtUiServices::ToQtFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        // "*.*" would hide every file without a dot here.
        for (QString& pattern : patterns)
            if (pattern.trimmed() == "*.*") pattern = "*";
        // Qt reads the patterns from the trailing "(...)" only, so a description that shows
        // its own patterns there gives way to the real ones.
        QString description = parts[i].trimmed();
        if (description.endsWith(')')) {
            const qsizetype open = description.lastIndexOf('(');
            if (open >= 0) description = description.left(open).trimmed();
        }
        entries << description + " (" + patterns.join(' ') + ")";
    }
    return entries.join(";;");
}

std::optional<std::string> TQtUiServices::AskOpenFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initial) {
    const QString name = QFileDialog::getOpenFileName(Owner(), Q(title), Q(initial), ToQtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> TQtUiServices::AskSaveFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initial) {
    const QString name = QFileDialog::getSaveFileName(Owner(), Q(title), Q(initial), ToQtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> TQtUiServices::AskFolder(const std::string& title, const std::string& initial) {
    const QString name = QFileDialog::getExistingDirectory(Owner(), Q(title), Q(initial));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

bool TQtUiServices::OpenWithDesktop(const std::string& pathOrUrl) {
    const QString text = Q(pathOrUrl);
    const QUrl url = text.contains("://") ? QUrl(text) : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

void TQtUiServices::ShowHelpTopic(const std::string& topic) {
    const std::string page = AppPaths::HelpDir() + (topic.empty() ? std::string("index.html") : topic);
    OpenWithDesktop(page);
}

}  // namespace brindle
