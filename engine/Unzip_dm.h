#pragma once
// Unpacks ".zip" archives and ".gz" files (a single compressed file or a tar archive) into the
// work folder.
#include <string>
#include <vector>

#include "engine/LocalNames.h"

namespace brindle {

class TdmUnzip {
public:
    // Unpacks every file of Archive below Folder (ending with "/"), keeping the members'
    // sub-folders, and appends each member's local path to Members. A ".gz" file that holds no
    // tar archive becomes one file named as stored in it, or else after the archive without
    // its last extension. Stored names are made safe and unique through Names, so no member
    // lands outside Folder or overwrites a file fetched or unpacked earlier in the run; an
    // archive already unpacked in the run adds nothing. Links and special files are skipped.
    // False when the archive cannot be read completely.
    bool ExtractArchive(const std::string& Archive, const std::string& Folder, std::vector<std::string>& Members,
                        TLocalNames& Names) const;
    // The same with names kept unique within this call only.
    bool ExtractArchive(const std::string& Archive, const std::string& Folder, std::vector<std::string>& Members) const;

    // Why the last ExtractArchive failed when the archive was fine but a member could not be
    // written ("Could not write the file '...'." and the system's reason); empty otherwise.
    const std::string& WriteFailure() const { return writeFailure_; }

private:
    mutable std::string writeFailure_;
};

}  // namespace brindle
