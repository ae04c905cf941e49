#include "core/SafeFile_u.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace brindle {

TAtomicFile::~TAtomicFile() { Abort(); }

bool TAtomicFile::Open(const std::string& target, mode_t mode) {
    Abort();
    target_ = target;
    mode_ = mode;
    failed_ = false;
    std::string pattern = target + ".tmp-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    fchmod(fd, mode);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        unlink(pattern.c_str());
        return false;
    }
    temp_ = pattern;
    return true;
}

bool TAtomicFile::Write(std::string_view bytes) {
    if (!file_ || failed_) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
    return !failed_;
}

bool TAtomicFile::Commit() {
    if (!file_) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok) ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void TAtomicFile::Abort() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        unlink(temp_.c_str());
        temp_.clear();
    }
}

bool WriteFileAtomic(const std::string& target, std::string_view bytes, mode_t mode) {
    TAtomicFile file;
    return file.Open(target, mode) && file.Write(bytes) && file.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string data;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (ok) bytes.swap(data);
    return ok;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace brindle
