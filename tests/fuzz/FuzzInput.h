#pragma once
// What the fuzz targets share: most readers take a file name, so each input is written to a
// file of its own first; the folder is per process, since -jobs runs several at once.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/Options_u.h"

namespace brindle::fuzz {

// In memory where the system offers it: the exports sync every file they save, and a sync
// on disk costs more wall time than the analysis of a short log.
inline const std::filesystem::path& ScratchParent() {
    static const std::filesystem::path parent = [] {
        std::error_code error;
        const std::filesystem::path shm = "/dev/shm";
        if (std::filesystem::is_directory(shm, error) && access(shm.c_str(), W_OK) == 0) return shm;
        return std::filesystem::temp_directory_path();
    }();
    return parent;
}

inline std::string ScratchFolder() {
    static const std::string folder = [] {
        const std::filesystem::path path = ScratchParent() / ("brindle-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchParent() / ("brindle-fuzz-" + std::to_string(getpid())), ignored);
        });
        return path.string() + "/";
    }();
    return folder;
}

inline std::string WriteInput(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchFolder() + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The options a fresh installation starts with, made once.
inline const TOptions& DefaultOptions() {
    static const TOptions options = [] {
        TOptions defaults;
        defaults.LoadDefaults();
        return defaults;
    }();
    return options;
}

}  // namespace brindle::fuzz
