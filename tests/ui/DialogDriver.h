#pragma once
// Answers a modal dialog while exec() runs it: waits until a dialog of type T is the active
// modal widget and hands it to Answer. Keep the returned state while the dialog runs and
// check Answered afterwards; once it is dropped the wait stops, so a dialog that never
// showed up cannot catch a later test's dialog. After a long wait without the dialog the
// test fails and any other modal widget is closed, so that nothing hangs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <memory>

namespace brindle::test {

struct TModalAnswer {
    bool Answered = false;
};

namespace detail {

template <class T, class Answer>
void PollModal(std::weak_ptr<TModalAnswer> weak, Answer answer, int triesLeft) {
    QTimer::singleShot(5, [weak, answer, triesLeft] {
        const std::shared_ptr<TModalAnswer> state = weak.lock();
        if (!state) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<T*>(modal)) {
            state->Answered = true;
            answer(*dialog);
            return;
        }
        if (triesLeft > 0) {
            PollModal<T>(weak, answer, triesLeft - 1);
            return;
        }
        ADD_FAILURE() << "the expected dialog was never shown";
        if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
    });
}

}  // namespace detail

template <class T, class Answer>
[[nodiscard]] std::shared_ptr<TModalAnswer> WhenModal(Answer answer) {
    auto state = std::make_shared<TModalAnswer>();
    detail::PollModal<T>(state, answer, 1000);
    return state;
}

}  // namespace brindle::test
