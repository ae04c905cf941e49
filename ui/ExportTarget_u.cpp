#include "ui/ExportTarget_u.h"

#include <filesystem>

#include "core/AppPaths.h"
#include "core/DateMacros_u.h"

namespace brindle {

std::string ResolveExportTarget(const std::string& target) {
    std::string expanded = ExpandDateMacros(target);
    if (expanded.empty() || std::filesystem::path(expanded).is_absolute()) return expanded;
    return AppPaths::UserDir() + expanded;
}

std::string ExportTargetFolder(const std::string& resolvedTarget, bool html) {
    if (html) return resolvedTarget;
    return std::filesystem::path(resolvedTarget).parent_path().string();
}

}  // namespace brindle
