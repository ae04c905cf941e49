#pragma once
// Local names for the files that downloads and unpacking put into the work folder during one
// analysis run. Names from servers and archives are untrusted: they are cut down to safe path
// components, and a path handed out once in a run is never handed out again, so no fetched
// file overwrites another and nothing is written outside the folder.
#include <set>
#include <string>
#include <string_view>

namespace brindle {

class TLocalNames {
public:
    // One path component: separators and control bytes become "_", leading dots are dropped,
    // an over-long name is shortened (keeping its extensions); empty gives Fallback.
    static std::string SafeComponent(std::string_view name, std::string_view fallback = "unnamed");

    // A relative path from a stored path: split at "/" and "\", every component made safe,
    // empty, "." and ".." components dropped; nothing left gives Fallback.
    static std::string SafeRelativePath(std::string_view path, std::string_view fallback = "unnamed");

    // Folder + Relative (a result of the two functions above), or when that path is already
    // taken in this run or is a folder, the first free variant "stem(2).ext", "stem(3).ext" ...
    // The returned path counts as taken from now on. Folder ends with "/".
    std::string Claim(const std::string& folder, const std::string& relative);

    // Gives back a path from Claim whose file could not be made.
    void Release(const std::string& path);

    // Marks a path as taken without handing it out (an archive being read, a local log file).
    void Reserve(const std::string& path);
    bool IsTaken(const std::string& path) const;

    // True the first time an archive is named in this run, false every later time.
    bool MarkUnpacked(const std::string& archive);

    // Starts a new run.
    void Clear();

private:
    std::set<std::string> taken_;
    std::set<std::string> unpacked_;
};

}  // namespace brindle
