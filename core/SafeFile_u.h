#pragma once
// Writes that never lose the earlier file: everything goes to a temporary file beside the
// target, is flushed, and only then renamed over it.
#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace brindle {

class TAtomicFile {
public:
    TAtomicFile() = default;
    ~TAtomicFile();  // an uncommitted file is dropped
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Opens a temporary file beside Target. Mode is applied to the final file.
    bool Open(const std::string& target, mode_t mode = 0644);
    bool Write(std::string_view bytes);
    bool IsOpen() const { return file_ != nullptr; }
    // Flushes, syncs and renames over the target. False leaves the target as it was.
    bool Commit();
    // Drops the temporary file; the target stays as it was.
    void Abort();

    const std::string& Target() const { return target_; }

private:
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temp_;
    mode_t mode_ = 0644;
    bool failed_ = false;
};

// One-shot form of TAtomicFile.
bool WriteFileAtomic(const std::string& target, std::string_view bytes, mode_t mode = 0644);

// Reads a whole file into Bytes; false (Bytes untouched) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

}  // namespace brindle
