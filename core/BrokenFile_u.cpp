#include "core/BrokenFile_u.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

constexpr int kMaxBackupSuffix = 1000;

bool PathPresent(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// 0 when renamed, else the errno of the failure (EEXIST when To is taken).
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return error;
    // The file system cannot rename without replacing: look first, then rename.
    if (PathPresent(to)) return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::string BrokenFileName(const std::string& path, TSeconds when) {
    const TDateParts t = DecodeDateTime(when);
    return path + ".broken-" + FormatInt(t.Year, 4) + FormatInt(t.Month, 2) + FormatInt(t.Day, 2) + "-" +
           FormatInt(t.Hour, 2) + FormatInt(t.Minute, 2) + FormatInt(t.Second, 2);
}

TBrokenFileBackup SetBrokenFileAside(const std::string& path, TSeconds when) {
    TBrokenFileBackup backup;
    if (!PathPresent(path)) return backup;
    const std::string base = BrokenFileName(path, when);
    for (int suffix = 1; suffix <= kMaxBackupSuffix; ++suffix) {
        const std::string candidate = suffix == 1 ? base : base + "-" + std::to_string(suffix);
        const int error = RenameNoReplace(path, candidate);
        if (error == 0) {
            backup.State = TBrokenFileState::Moved;
            backup.BackupName = candidate;
            return backup;
        }
        if (error != EEXIST) break;
    }
    backup.State = TBrokenFileState::Failed;
    return backup;
}

}  // namespace brindle
