#include "ui/ExportTarget_u.h"

#include <cstdint>
#include <filesystem>

#include "core/AppPaths.h"
#include "core/DateMacros_u.h"
#include "core/Profiles_u.h"
#include "core/SafeFile_u.h"

namespace brindle {

namespace {

constexpr std::uint8_t kHTMLExportType = 2;  // of a profile's automatic export

}  // namespace

std::string ResolveExportTarget(const std::string& target) {
    std::string expanded = ExpandDateMacros(target);
    if (expanded.empty() || std::filesystem::path(expanded).is_absolute()) return expanded;
    return AppPaths::UserDir() + expanded;
}

std::string ExportTargetFolder(const std::string& resolvedTarget, bool html) {
    if (html) return resolvedTarget;
    return std::filesystem::path(resolvedTarget).parent_path().string();
}

int RemoveStaleAutoExportFiles(const TLstProfile& profiles) {
    int removed = 0;
    for (std::size_t i = 0; i < profiles.Count(); ++i) {
        const TProfile& profile = profiles[i];
        const std::string target = ResolveExportTarget(profile.AutoExportFile);
        if (target.empty()) continue;
        removed +=
            profile.AutoExportType == kHTMLExportType ? RemoveStaleTempFiles(target) : RemoveStaleTempFilesOf(target);
    }
    return removed;
}

}  // namespace brindle
