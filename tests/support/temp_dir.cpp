#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "aerialtest-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace test
