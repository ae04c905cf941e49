#pragma once
// The one exception guard of the window's slots: an error that ends an action is shown to
// the user and never crosses into Qt's event loop.
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace brindle {

class TUiServices;

inline constexpr std::string_view kUnknownError = "Unknown error";

// The message of the program's own error classes (analysis, reverse DNS, exports, export
// files); "Unknown error" for anything else.
std::string GuardMessage(const std::exception_ptr& error);

// Runs Action; an exception is shown as an error box (with its beep). True when Action
// ended normally.
bool RunGuarded(TUiServices& ui, const std::function<void()>& action);

}  // namespace brindle
