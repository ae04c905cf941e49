// Downloaded archives: the first byte picks ".zip" or ".gz", the rest is the archive. Nothing
// may land outside the folder it is unpacked into.
#include <cstdlib>
#include <filesystem>

#include "FuzzInput.h"
#include "engine/Unzip_dm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    namespace fs = std::filesystem;
    if (size == 0) return 0;
    const std::string root = fuzz::ScratchFolder() + "archive/";
    fs::remove_all(root);
    const std::string folder = root + "out/";
    fs::create_directories(folder);
    const std::string archive =
        fuzz::WriteInput((data[0] & 1) ? "archive/input.gz" : "archive/input.zip", fuzz::AsText(data + 1, size - 1));
    std::vector<std::string> members;
    TdmUnzip().ExtractArchive(archive, folder, members);
    for (const fs::directory_entry& entry : fs::directory_iterator(root))
        if (entry.path() != fs::path(archive) && entry.path().filename() != "out") std::abort();
    for (const std::string& member : members)
        if (member.rfind(folder, 0) != 0) std::abort();
    fs::remove_all(root);
    return 0;
}
