#include "core/AppPaths.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "core/SafeFile_u.h"

namespace brindle {
namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The system's reason when the folder is not there afterwards; empty on success.
std::error_code MakeFolder(const std::string& path, fs::perms perms = fs::perms::unknown) {
    std::error_code ec;
    fs::create_directories(path, ec);
    std::error_code typeError;
    if (!fs::is_directory(path, typeError)) return ec ? ec : std::make_error_code(std::errc::not_a_directory);
    ec.clear();
    if (perms != fs::perms::unknown) fs::permissions(path, perms, fs::perm_options::replace, ec);
    return ec;
}

}  // namespace

std::string AppPaths::ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return WithSlash(exe.parent_path().string());
}

std::string AppPaths::ResourceDir() {
    // Worked out once: the program does not move while it runs, and resolving the path takes
    // a system call per component, for each of the seventy icons of the report tree.
    static const std::string resources = [] {
        const fs::path dir = fs::path(ExecutableDir()) / ".." / "share" / "brindle-analyzer";
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(dir, ec);
        return WithSlash(ec ? dir.lexically_normal().string() : canonical.string());
    }();
    return resources;
}

std::string AppPaths::UserDir() {
    const std::string own = Env("BRINDLE_ANALYZER_HOME");
    if (!own.empty()) return WithSlash(own);
    const std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty()) return WithSlash(xdg) + "brindle-analyzer/";
    const std::string home = Env("HOME");
    return WithSlash(home.empty() ? std::string("/tmp") : home) + ".local/share/brindle-analyzer/";
}

std::string AppPaths::OptionsFile() { return UserDir() + "Options.xml"; }
std::string AppPaths::ProfilesFile() { return UserDir() + "Profiles.xml"; }
std::string AppPaths::SettingsFile() { return UserDir() + "settings.ini"; }
std::string AppPaths::DataDir() { return UserDir() + "Data/"; }
std::string AppPaths::DnsCacheFile() { return DataDir() + "dns.dat"; }
std::string AppPaths::DataLogDir() { return UserDir() + "DataLog/"; }
std::string AppPaths::LanguagesDir() { return UserDir() + "Languages/"; }
std::string AppPaths::TmpRootDir() { return UserDir() + "Tmp/"; }
std::string AppPaths::TmpDir() { return TmpRootDir() + std::to_string(getpid()) + "/"; }
std::string AppPaths::TemplateHtmlDir() { return ResourceDir() + "Template/html/standard/"; }
std::string AppPaths::TemplateWordDir() { return ResourceDir() + "Template/word/"; }
std::string AppPaths::SampleDir() { return ResourceDir() + "Sample/"; }
std::string AppPaths::HelpDir() { return ResourceDir() + "help/"; }

std::string AppPaths::GeoIPCountryFile() {
    std::string own = ResourceDir() + "GeoIP.dat";
    std::error_code ec;
    if (fs::is_regular_file(own, ec)) return own;
    return "/usr/share/GeoIP/GeoIP.dat";
}

AppPaths::TFolderFailure AppPaths::CreateUserFolders() {
    TFolderFailure failed;
    const auto make = [&failed](const std::string& folder, fs::perms perms = fs::perms::unknown) {
        const std::error_code ec = MakeFolder(folder, perms);
        if (ec && failed.Folder.empty()) failed = {folder, ec.message()};
    };
    make(UserDir());
    make(DataDir());
    make(DataLogDir());
    make(LanguagesDir());
    make(TmpRootDir());
    make(TmpDir(), fs::perms::owner_all);
    return failed;
}

int AppPaths::RemoveLeftovers() {
    int removed = 0;
    std::error_code ec;
    const pid_t self = getpid();
    for (fs::directory_iterator it(TmpRootDir(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        pid_t pid = 0;
        const auto [ptr, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (error != std::errc() || ptr != name.data() + name.size() || pid <= 0) continue;
        // Left while its process may still run (EPERM: it runs, as another user). One of
        // this process' id is this process' own, emptied when it ends.
        const bool gone = pid != self && kill(pid, 0) != 0 && errno == ESRCH;
        std::error_code removeError;
        if (gone && fs::is_directory(fs::symlink_status(it->path(), removeError)) &&
            fs::remove_all(it->path(), removeError) > 0)
            ++removed;
    }
    removed += RemoveStaleTempFiles(UserDir());
    removed += RemoveStaleTempFiles(DataDir());
    // The work folders: downloads and unpacked members, in sub-folders too.
    removed += RemoveStaleTempFiles(DataLogDir(), true);
    return removed;
}

void AppPaths::RemoveTmpDir() {
    std::error_code ec;
    fs::remove_all(TmpDir(), ec);
}

}  // namespace brindle
