#pragma once
// Driving modal dialogs in widget tests: the steps run once the next modal dialog shows,
// and a dialog the steps leave open is cancelled so that no test hangs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>

namespace brindle::test {

// The named child; a missing one fails the test (the caller gets null).
template <typename T>
T* Child(const QObject* root, const char* name) {
    T* child = root ? root->findChild<T*>(name) : nullptr;
    if (!child) ADD_FAILURE() << "no child named " << name;
    return child;
}

inline void Click(const QObject* root, const char* name) {
    if (auto* button = Child<QAbstractButton>(root, name)) button->click();
}

// Queues Steps for the next modal dialog shown (the dialog, as the top modal widget).
inline void WhenModal(std::function<void(QDialog& dialog)> steps) {
    QTimer::singleShot(0, [steps = std::move(steps)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is showing";
            return;
        }
        steps(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

}  // namespace brindle::test
