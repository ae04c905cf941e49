#pragma once
// Where an export writes. The export dialog checks the folder and the export run writes
// there, so both resolve a target by this one rule.
#include <string>

namespace brindle {

class TLstProfile;

// The target with its date macros expanded; a relative one is taken in the user folder,
// never in whatever folder the program was started from. Empty stays empty.
std::string ResolveExportTarget(const std::string& target);

// The folder an export must find or create for a resolved target: the target itself for
// HTML (a folder), its folder part for a file.
std::string ExportTargetFolder(const std::string& resolvedTarget, bool html);

// Removes what automatic exports killed while writing left where the file system refused
// anonymous temporary files: a file export's stale temporaries of its own target, an HTML
// export's in its folder (targets resolved as today). Returns the number removed.
int RemoveStaleAutoExportFiles(const TLstProfile& profiles);

}  // namespace brindle
