#include "ui/Widgets_u.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace brindle {

QString QtText(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

QLabel* NewLabel(QWidget* parent, const char* name, std::string_view text) {
    auto* label = new QLabel(QtText(text), parent);
    label->setObjectName(name);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, std::string_view text) {
    auto* button = new QPushButton(QtText(text), parent);
    button->setObjectName(name);
    return button;
}

QLineEdit* NewEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, std::string_view text) {
    auto* box = new QCheckBox(QtText(text), parent);
    box->setObjectName(name);
    return box;
}

QAction* NewAction(QWidget* owner, const char* name, std::string_view text, QBoxLayout* buttons) {
    auto* action = new QAction(QtText(text), owner);
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

}  // namespace brindle
