#pragma once
// Widgets of the dialogs made with their object name (tests find them by it) and their
// text (see UiText for line breaks).
#include <string_view>
#include <vector>

#include "ui/UiText_u.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brindle {

QLabel* NewLabel(QWidget* parent, const char* name, std::string_view text);
QPushButton* NewButton(QWidget* parent, const char* name, std::string_view text);
QLineEdit* NewEdit(QWidget* parent, const char* name);
QCheckBox* NewCheckBox(QWidget* parent, const char* name, std::string_view text);
// An action of the owner with a button for it in Buttons.
QAction* NewAction(QWidget* owner, const char* name, std::string_view text, QBoxLayout* buttons);
// The wizards' bottom row: Back and Next together, then Cancel and Help, all at the right.
QHBoxLayout* NewWizardButtonRow(QPushButton* previous, QPushButton* next, QPushButton* cancel, QPushButton* help);
// A wizard keeps one size, fitting its largest page (hidden ones too) from the start, so
// that its buttons never move under the mouse. The pages show one at a time in PageArea;
// all are hidden afterwards.
void FitWizardToLargestPage(QDialog& wizard, QWidget& pageArea, const std::vector<QWidget*>& pages);
// Focuses the first control of a page that takes the Tab key; of a group of radio buttons,
// the checked one.
void FocusFirstField(QWidget& page);

}  // namespace brindle
