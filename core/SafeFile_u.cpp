#include "core/SafeFile_u.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace brindle {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNameLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string RandomSuffix(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, kNameLetters.size() - 1);
    std::string suffix;
    for (std::size_t i = 0; i < kTempFileSuffixLength; ++i) suffix += kNameLetters[pick(random)];
    return suffix;
}

// Creates a new temporary file beside Target. Created with Mode, so the kernel applies the
// umask; mkstemp would force 0600.
int CreateTempFile(const std::string& target, mode_t mode, std::string& name) {
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + std::string(kTempFileMarker) + RandomSuffix(random);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// An unnamed file in Target's folder. Linking it in later goes through /proc/self/fd (linkat
// with AT_EMPTY_PATH needs a capability), so without /proc the named form is used instead.
int CreateAnonymousFile(const std::string& target, mode_t mode) {
    if (access("/proc/self/fd", X_OK) != 0) return -1;
    const std::string folder = fs::path(target).parent_path().string();
    return open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

std::string FdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// A crash leaves the folder entry unsynced otherwise; the rename is only durable with it.
void SyncFolderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::string ResolveLinks(const std::string& path) {
    fs::path current(path);
    // The kernel's own limit on links followed in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)) || ec) break;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.lexically_normal().string();
}

TAtomicFile::~TAtomicFile() { Abort(); }

bool TAtomicFile::Fail() {
    if (!failed_) error_ = errno;
    failed_ = true;
    return false;
}

bool TAtomicFile::Open(const std::string& target, mode_t mode, TTempKind kind) {
    Abort();
    target_ = target;
    error_ = 0;
    failed_ = false;
    real_ = ResolveLinks(target);
    struct stat existing {};
    const bool replacing = stat(real_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    std::string name;
    int fd = kind == TTempKind::Anonymous ? CreateAnonymousFile(real_, mode) : -1;
    if (fd < 0) fd = CreateTempFile(real_, mode, name);
    if (fd < 0) return Fail();
    // Held until the file is closed: start-up tells a live save from a dead one by it.
    flock(fd, LOCK_EX | LOCK_NB);
    if (replacing) fchmod(fd, existing.st_mode & mode & 07777);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        Fail();
        close(fd);
        if (!name.empty()) unlink(name.c_str());
        return false;
    }
    temp_ = name;
    return true;
}

bool TAtomicFile::Write(std::string_view bytes) {
    if (!file_ || failed_) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return Fail();
    return true;
}

// The name exists only between here and the rename; the lock still marks it as live.
bool TAtomicFile::GiveName() {
    std::mt19937 random(std::random_device{}());
    const std::string from = FdPath(fileno(file_));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = real_ + std::string(kTempFileMarker) + RandomSuffix(random);
        if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return Fail();
    }
    errno = EEXIST;
    return Fail();
}

bool TAtomicFile::Commit() {
    if (!file_) return false;
    bool ok = !failed_;
    if (ok && (std::fflush(file_) != 0 || fsync(fileno(file_)) != 0)) ok = Fail();
    if (ok && temp_.empty()) ok = GiveName();
    if (std::fclose(file_) != 0 && ok) ok = Fail();
    file_ = nullptr;
    if (ok && std::rename(temp_.c_str(), real_.c_str()) != 0) ok = Fail();
    if (ok)
        SyncFolderOf(real_);
    else if (!temp_.empty())
        unlink(temp_.c_str());
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

std::string TAtomicFile::ErrorText() const { return error_ == 0 ? std::string() : std::strerror(error_); }

std::string WriteFailureText(const std::string& path, const std::string& reason) {
    std::string text = "Could not write the file '" + path + "'.";
    if (!reason.empty()) text += "\r\n" + reason + ".";
    return text;
}

bool WriteFileAtomic(const std::string& target, std::string_view bytes, mode_t mode) {
    TAtomicFile file;
    return file.Open(target, mode) && file.Write(bytes) && file.Commit();
}

bool IsTempFileName(std::string_view fileName) {
    const std::size_t tail = kTempFileMarker.size() + kTempFileSuffixLength;
    if (fileName.size() <= tail) return false;
    const std::string_view suffix = fileName.substr(fileName.size() - tail);
    if (!suffix.starts_with(kTempFileMarker)) return false;
    for (const char c : suffix.substr(kTempFileMarker.size()))
        if (kNameLetters.find(c) == std::string_view::npos) return false;
    return true;
}

namespace {

// Never through a link, never anything but a plain file, never one a save holds locked.
bool RemoveIfStale(const fs::path& path) {
    if (!IsTempFileName(path.filename().string())) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool removed = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                         unlink(path.c_str()) == 0;
    close(fd);
    return removed;
}

}  // namespace

int RemoveStaleTempFiles(const std::string& folder, bool below) {
    int removed = 0;
    std::error_code ec;
    if (below) {
        // Does not follow links to folders.
        for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec))
            removed += RemoveIfStale(it->path()) ? 1 : 0;
    } else {
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            removed += RemoveIfStale(it->path()) ? 1 : 0;
    }
    return removed;
}

int RemoveStaleTempFilesOf(const std::string& target) {
    const fs::path real(ResolveLinks(target));
    const std::string prefix = real.filename().string() + std::string(kTempFileMarker);
    if (prefix.size() == kTempFileMarker.size()) return 0;
    int removed = 0;
    std::error_code ec;
    const fs::path folder = real.parent_path().empty() ? fs::path(".") : real.parent_path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + kTempFileSuffixLength && name.starts_with(prefix))
            removed += RemoveIfStale(it->path()) ? 1 : 0;
    }
    return removed;
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
