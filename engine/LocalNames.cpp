#include "engine/LocalNames.h"

#include <filesystem>

namespace brindle {

namespace {

// Long enough for any real log name, short enough to stay below NAME_MAX with a "(n)" and a
// temporary-file suffix added.
constexpr size_t kMaxComponent = 200;
constexpr size_t kMaxKeptExtension = 40;

std::string NormalPath(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

std::string Shorten(std::string name) {
    if (name.size() <= kMaxComponent) return name;
    const size_t dot = name.find('.');
    std::string extension;
    if (dot != std::string::npos && name.size() - dot <= kMaxKeptExtension) extension = name.substr(dot);
    name.resize(kMaxComponent - extension.size());
    return name + extension;
}

// "dir/access.log.gz" with n = 2 gives "dir/access(2).log.gz": the extensions stay at the end
// so that the file is still recognised as what it is.
std::string Variant(const std::string& relative, int n) {
    const size_t slash = relative.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = relative.find('.', nameStart + 1);
    if (dot == std::string::npos) dot = relative.size();
    return relative.substr(0, dot) + "(" + std::to_string(n) + ")" + relative.substr(dot);
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

std::string TLocalNames::SafeComponent(std::string_view name, std::string_view fallback) {
    size_t start = 0;
    while (start < name.size() && name[start] == '.') ++start;
    std::string result;
    result.reserve(name.size() - start);
    for (size_t i = start; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        result.push_back(c < 0x20 || c == 0x7f || c == '/' || c == '\\' ? '_' : static_cast<char>(c));
    }
    if (result.empty()) return std::string(fallback);
    return Shorten(std::move(result));
}

std::string TLocalNames::SafeRelativePath(std::string_view path, std::string_view fallback) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view piece = path.substr(start, end - start);
        if (piece.find_first_not_of('.') != std::string_view::npos) {
            if (!result.empty()) result.push_back('/');
            result += SafeComponent(piece, fallback);
        }
        start = end + 1;
    }
    return result.empty() ? std::string(fallback) : result;
}

std::string TLocalNames::Claim(const std::string& folder, const std::string& relative) {
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::string candidate = NormalPath(base + relative);
    for (int n = 2; IsTaken(candidate) || IsFolder(candidate); ++n) candidate = NormalPath(base + Variant(relative, n));
    taken_.insert(candidate);
    return candidate;
}

void TLocalNames::Release(const std::string& path) { taken_.erase(NormalPath(path)); }

void TLocalNames::Reserve(const std::string& path) { taken_.insert(NormalPath(path)); }

bool TLocalNames::IsTaken(const std::string& path) const { return taken_.count(NormalPath(path)) != 0; }

bool TLocalNames::MarkUnpacked(const std::string& archive) { return unpacked_.insert(NormalPath(archive)).second; }

void TLocalNames::Clear() {
    taken_.clear();
    unpacked_.clear();
}

}  // namespace brindle
