#include "core/AppPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

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

bool MakeFolder(const std::string& path, fs::perms perms = fs::perms::unknown) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (!fs::is_directory(path, ec)) return false;
    if (perms != fs::perms::unknown) fs::permissions(path, perms, fs::perm_options::replace, ec);
    return !ec;
}

}  // namespace

std::string AppPaths::ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return WithSlash(exe.parent_path().string());
}

std::string AppPaths::ResourceDir() {
    const fs::path dir = fs::path(ExecutableDir()) / ".." / "share" / "brindle-analyzer";
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(dir, ec);
    return WithSlash(ec ? dir.lexically_normal().string() : canonical.string());
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
    const std::string own = ResourceDir() + "GeoIP.dat";
    std::error_code ec;
    if (fs::is_regular_file(own, ec)) return own;
    return "/usr/share/GeoIP/GeoIP.dat";
}

bool AppPaths::CreateUserFolders() {
    bool ok = MakeFolder(UserDir());
    ok = MakeFolder(DataDir()) && ok;
    ok = MakeFolder(DataLogDir()) && ok;
    ok = MakeFolder(LanguagesDir()) && ok;
    ok = MakeFolder(TmpRootDir()) && ok;
    ok = MakeFolder(TmpDir(), fs::perms::owner_all) && ok;
    return ok;
}

void AppPaths::RemoveTmpDir() {
    std::error_code ec;
    fs::remove_all(TmpDir(), ec);
}

}  // namespace brindle
