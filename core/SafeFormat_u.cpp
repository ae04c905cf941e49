#include "core/SafeFormat_u.h"

#include <charconv>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

template <typename ArgText>
std::string Expand(std::string_view format, std::size_t count, ArgText argText) {
    std::string out;
    out.reserve(format.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '%' && following == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && (following == 's' || following == 'd')) {
            if (next < count) out += argText(next);
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string SafeArg::IntText(std::int64_t value) { return FormatInt(value); }

std::string SafeArg::UIntText(std::uint64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string SafeFormat(std::string_view format, std::initializer_list<SafeArg> args) {
    return Expand(format, args.size(), [&](std::size_t i) -> const std::string& { return args.begin()[i].Text(); });
}

std::string SafeFormat(std::string_view format, const std::vector<std::string>& args) {
    return Expand(format, args.size(), [&](std::size_t i) -> const std::string& { return args[i]; });
}

}  // namespace brindle
