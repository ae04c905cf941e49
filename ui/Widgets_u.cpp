#include "ui/Widgets_u.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace brindle {

QLabel* NewLabel(QWidget* parent, const char* name, std::string_view text) {
    auto* label = new QLabel(UiText(text), parent);
    label->setObjectName(name);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, std::string_view text) {
    auto* button = new QPushButton(UiText(text), parent);
    button->setObjectName(name);
    return button;
}

QLineEdit* NewEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, std::string_view text) {
    auto* box = new QCheckBox(UiText(text), parent);
    box->setObjectName(name);
    return box;
}

QAction* NewAction(QWidget* owner, const char* name, std::string_view text, QBoxLayout* buttons) {
    auto* action = new QAction(UiText(text), owner);
    // A button that opens another dialog keeps its "..." (Qt drops it from icon texts).
    action->setIconText(action->text());
    action->setObjectName(name);
    owner->addAction(action);
    if (buttons) {
        auto* button = new QToolButton(owner);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        buttons->addWidget(button);
    }
    return action;
}

QHBoxLayout* NewWizardButtonRow(QPushButton* previous, QPushButton* next, QPushButton* cancel, QPushButton* help) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(previous);
    buttons->addWidget(next);
    buttons->addSpacing(12);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    return buttons;
}

void FitWizardToLargestPage(QDialog& wizard, QWidget& pageArea, const std::vector<QWidget*>& pages) {
    QSize largest(0, 0);
    for (QWidget* page : pages) {
        largest = largest.expandedTo(page->sizeHint()).expandedTo(page->minimumSizeHint());
        // Visible pages would stack up in the area's layout; the wizard shows its page later.
        page->hide();
    }
    pageArea.setMinimumSize(largest);
    if (QLayout* layout = wizard.layout()) layout->activate();
    wizard.setFixedSize(wizard.sizeHint().expandedTo(wizard.minimumSizeHint()));
}

void FocusFirstField(QWidget& page) {
    QWidget* first = nullptr;
    for (QWidget* w = page.nextInFocusChain(); w && w != &page && page.isAncestorOf(w); w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(&page)) continue;
        const auto* radio = qobject_cast<const QRadioButton*>(w);
        if (radio && !radio->isChecked()) {
            if (!first) first = w;
            continue;
        }
        first = w;
        break;
    }
    if (first) first->setFocus(Qt::TabFocusReason);
}

}  // namespace brindle
