#pragma once
// A settings file that exists but cannot be loaded is renamed out of the way before anything
// writes its name again, so that the user's file is never overwritten by a fresh one.
#include <string>

#include "core/DateTime_u.h"

namespace brindle {

// "<path>.broken-YYYYMMDD-HHMMSS" for the time When.
std::string BrokenFileName(const std::string& path, TSeconds when);

enum class TBrokenFileState {
    Missing,  // nothing of that name: nothing to keep
    Moved,  // renamed to BackupName
    Failed,  // still there under its name: the caller must not write that name
};

struct TBrokenFileBackup {
    TBrokenFileState State = TBrokenFileState::Missing;
    std::string BackupName;
};

// Renames Path to BrokenFileName(Path, When), or to that name plus "-2", "-3", ... when the
// name is taken: an earlier backup is never replaced.
TBrokenFileBackup SetBrokenFileAside(const std::string& path, TSeconds when);

}  // namespace brindle
