#pragma once
// Finding the named widgets of a dialog in widget tests.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QObject>

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

}  // namespace brindle::test
