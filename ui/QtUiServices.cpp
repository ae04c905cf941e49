#include "ui/QtUiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

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

void TQtUiServices::FitFileDialog(QFileDialog& dialog) {
    const QFontMetrics metrics(dialog.font());
    const int padding =
        2 * metrics.averageCharWidth() + 2 * dialog.style()->pixelMetric(QStyle::PM_HeaderMargin) + metrics.height();
    auto widest = [&](std::initializer_list<QString> samples) {
        int width = 0;
        for (const QString& sample : samples) width = std::max(width, metrics.horizontalAdvance(sample));
        return width + padding;
    };
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat);
    // Size, Type and Date Modified after the name column.
    const int needed[] = {widest({locale.formattedDataSize(1023ll * 1024 * 1024 + 1000 * 1024), "1023.99 KiB"}),
                          widest({"Folder", "docx File", "html File"}), widest({date})};
    int columns = 0;
    auto* view = dialog.findChild<QTreeView*>("treeView");
    if (view) {
        QHeaderView* header = view->header();
        columns += header->sectionSize(0);
        for (int c = 1; c <= 3 && c < header->count(); ++c) {
            header->resizeSection(c, std::max(header->sectionSize(c), needed[c - 1]));
            columns += header->sectionSize(c);
        }
        columns += view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth();
    } else {
        columns = metrics.horizontalAdvance(QString(30, 'w')) + needed[0] + needed[1] + needed[2];
    }
    const QWidget* sidebar = dialog.findChild<QWidget*>("sidebar");
    const int side = sidebar ? std::max(sidebar->sizeHint().width(), metrics.horizontalAdvance(QString(14, 'x'))) : 0;
    const QSize wanted =
        QSize(side + columns + 6 * metrics.averageCharWidth(), metrics.height() * 28).expandedTo(dialog.sizeHint());
    QSize size = wanted;
    if (const QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    // On a small screen the name column gives way: the others are short and must show whole.
    if (view && size.width() < wanted.width()) {
        QHeaderView* header = view->header();
        const int least = metrics.horizontalAdvance(QString(12, 'w'));
        header->resizeSection(0, std::max(least, header->sectionSize(0) - (wanted.width() - size.width())));
    }
    dialog.resize(size);
}

namespace {

// The dialog builds its widgets only as it is shown (a desktop may offer its own dialog
// instead): they are measured then, before the window is mapped.
class TFitFileDialogOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !fitted_) {
            if (auto* dialog = qobject_cast<QFileDialog*>(watched)) {
                fitted_ = true;
                TQtUiServices::FitFileDialog(*dialog);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool fitted_ = false;
};

}  // namespace

std::optional<std::string> TQtUiServices::RunFileDialog(QFileDialog& dialog) {
    TFitFileDialogOnShow fit;
    dialog.installEventFilter(&fit);
    const int result = dialog.exec();
    dialog.removeEventFilter(&fit);
    if (result != QDialog::Accepted) return std::nullopt;
    const QStringList names = dialog.selectedFiles();
    if (names.isEmpty() || names.front().isEmpty()) return std::nullopt;
    return names.front().toStdString();
}

std::optional<std::string> TQtUiServices::AskOpenFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initial) {
    QFileDialog dialog(Owner(), Q(title), Q(initial), ToQtFilter(filter));
    dialog.setObjectName("odFile");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog);
}

std::optional<std::string> TQtUiServices::AskSaveFileName(const std::string& title, const std::string& filter,
                                                          const std::string& initial) {
    QFileDialog dialog(Owner(), Q(title), Q(initial), ToQtFilter(filter));
    dialog.setObjectName("sdFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return RunFileDialog(dialog);
}

std::optional<std::string> TQtUiServices::AskFolder(const std::string& title, const std::string& initial) {
    QFileDialog dialog(Owner(), Q(title), Q(initial));
    dialog.setObjectName("bfFolder");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return RunFileDialog(dialog);
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
