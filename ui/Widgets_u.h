#pragma once
// Small helpers of the dialogs: texts between the program's UTF-8 strings and Qt, and
// widgets made with their object name (tests find them by it). Message texts keep "\r\n"
// line breaks; a label shows them as plain line breaks.
#include <QString>
#include <string>
#include <string_view>

class QAction;
class QBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brindle {

QString QtText(std::string_view text);
inline std::string StdText(const QString& text) { return text.toStdString(); }

QLabel* NewLabel(QWidget* parent, const char* name, std::string_view text);
QPushButton* NewButton(QWidget* parent, const char* name, std::string_view text);
QLineEdit* NewEdit(QWidget* parent, const char* name);
QCheckBox* NewCheckBox(QWidget* parent, const char* name, std::string_view text);
// An action of the owner with a button for it in Buttons.
QAction* NewAction(QWidget* owner, const char* name, std::string_view text, QBoxLayout* buttons);

}  // namespace brindle
