// Clean-up of the private Tmp folder.
#include <filesystem>

#include "core/CommonUtils_u.h"

namespace brindle {

void DeleteFolderFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return;
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code statusError;
        if (!fs::is_regular_file(it->symlink_status(statusError)) || statusError) continue;
        std::error_code removeError;
        fs::remove(it->path(), removeError);  // a file that cannot go stays
    }
}

}  // namespace brindle
