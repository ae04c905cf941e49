#pragma once
// A private temporary folder for one test, removed with everything in it.
#include <string>

namespace brindle::test {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder's path, ending with '/'.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

    // Writes bytes to a file below the folder (creating sub-folders) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Path of a fixture in tests/data.
std::string DataPath(const std::string& name);

}  // namespace brindle::test
