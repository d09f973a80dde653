#include "tests/support/data_set.h"

#include <cstdio>
#include <system_error>

namespace test {

bool LinkDataSet(const std::filesystem::path& programFolder) {
    namespace fs = std::filesystem;
    const fs::path data = AERIAL_DATA_SET_DIR;
    // The build writes this mark last, once the whole set is written.
    const fs::path mark = "datagen-complete";
    std::error_code error;
    if (!fs::exists(data / mark, error)) {
        std::fprintf(stderr,
                     "The placeholder data set is missing from %s: write it with "
                     "cmake --build %s --target data_set\n",
                     data.c_str(), data.parent_path().c_str());
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(data, error)) {
        if (entry.path().filename() == mark) continue;
        fs::create_symlink(entry.path(), programFolder / entry.path().filename(), error);
        if (error) {
            std::fprintf(stderr, "The data set cannot be linked into %s: %s\n", programFolder.c_str(),
                         error.message().c_str());
            return false;
        }
    }
    return !error;
}

}  // namespace test
