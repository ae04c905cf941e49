#include "TestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brindle::test {

TestFolder::TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TestFolder::~TestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TestFolder::write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path target = path_ + name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return target.string();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::string DataPath(const std::string& name) { return std::string(BRINDLE_TEST_DATA_DIR) + "/" + name; }

}  // namespace brindle::test
