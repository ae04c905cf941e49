#pragma once
// Writes that never lose the earlier file: everything goes to a temporary file beside the
// target, is flushed, and only then renamed over it.
#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace brindle {

// The temporary name's suffix: "<target>.tmp-" and six letters or digits.
inline constexpr std::string_view kTempFileMarker = ".tmp-";
inline constexpr std::size_t kTempFileSuffixLength = 6;

// Anonymous: the temporary file has no name until the commit links it in (O_TMPFILE), so a
// killed process leaves nothing; the folder's file system may not offer it, and then the
// named form is used. Named: "<target>.tmp-XXXXXX" from the start.
enum class TTempKind { Anonymous, Named };

class TAtomicFile {
public:
    TAtomicFile() = default;
    ~TAtomicFile();  // an uncommitted file is dropped
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Opens a temporary file beside Target; a symbolic link is followed, so the file it
    // points to is the one replaced. Mode is the widest the file gets: a new file takes
    // Mode less the umask, a replaced one keeps its own permissions within Mode.
    bool Open(const std::string& target, mode_t mode = 0666, TTempKind kind = TTempKind::Anonymous);
    bool Write(std::string_view bytes);
    bool IsOpen() const { return file_ != nullptr; }
    // Flushes, syncs, renames over the target and syncs its folder. False leaves the target
    // as it was.
    bool Commit();
    // Drops the temporary file; the target stays as it was.
    void Abort();

    const std::string& Target() const { return target_; }
    // The system's reason for the first failure ("No space left on device"); empty when
    // nothing failed or no reason is known.
    std::string ErrorText() const;

private:
    bool Fail();  // keeps errno as the reason; always false
    bool GiveName();  // links an anonymous file in under a temporary name

    std::FILE* file_ = nullptr;
    std::string target_;
    std::string real_;  // the target with its links followed: the file replaced
    std::string temp_;  // empty while the file is anonymous
    int error_ = 0;
    bool failed_ = false;
};

// "Could not write the file '<path>'." and, on its own line, the system's reason.
std::string WriteFailureText(const std::string& path, const std::string& reason);

// One-shot form of TAtomicFile.
bool WriteFileAtomic(const std::string& target, std::string_view bytes, mode_t mode = 0666);

// The file a chain of symbolic links ends at (which need not exist); Path itself when it is
// no link.
std::string ResolveLinks(const std::string& path);

// True for a name of the form TAtomicFile gives its temporary files.
bool IsTempFileName(std::string_view fileName);

// Removes the temporary files that saves interrupted by a crash or a kill left in Folder,
// and with Below in its sub-folders too (never through a link). A file that a running save
// still holds open is left alone. Returns the number removed.
int RemoveStaleTempFiles(const std::string& folder, bool below = false);
// The same for the temporary files of saves of one Target only (beside the file its links
// lead to): for folders that hold the user's own files too.
int RemoveStaleTempFilesOf(const std::string& target);

// Reads a whole file into Bytes; false (Bytes untouched) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

}  // namespace brindle
