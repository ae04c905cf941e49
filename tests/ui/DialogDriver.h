#pragma once
// Answers a modal dialog while exec() runs it: waits until a dialog of type T is the active
// modal widget and hands it to Answer. A dialog that never shows up fails the test, and
// whatever modal widget is up then is closed so that the test does not hang.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace brindle::test {

template <class T, class Answer>
void WhenModal(Answer answer, int triesLeft = 500) {
    QTimer::singleShot(5, [answer, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<T*>(modal)) {
            answer(*dialog);
            return;
        }
        if (triesLeft > 0) {
            WhenModal<T>(answer, triesLeft - 1);
            return;
        }
        ADD_FAILURE() << "the expected dialog was never shown";
        if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
    });
}

}  // namespace brindle::test
