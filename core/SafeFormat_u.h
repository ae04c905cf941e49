#pragma once
// Language texts are format strings read from files, so they never reach printf: "%s" and
// "%d" take the next argument as text, "%%" gives "%", anything else stays as written, and
// a missing argument gives empty text.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// One argument, already as text; integers are written in plain decimal.
class SafeArg {
public:
    SafeArg(std::string_view text) : text_(text) {}
    SafeArg(const std::string& text) : text_(text) {}
    SafeArg(const char* text) : text_(text ? text : "") {}
    template <std::integral T>
    requires(!std::same_as<T, char> && !std::same_as<T, bool>) SafeArg(T value)
        : text_(std::signed_integral<T> ? IntText(static_cast<std::int64_t>(value))
                                        : UIntText(static_cast<std::uint64_t>(value))) {}

    const std::string& Text() const { return text_; }

private:
    static std::string IntText(std::int64_t value);
    static std::string UIntText(std::uint64_t value);
    std::string text_;
};

std::string SafeFormat(std::string_view format, std::initializer_list<SafeArg> args);
std::string SafeFormat(std::string_view format, const std::vector<std::string>& args);

}  // namespace brindle
