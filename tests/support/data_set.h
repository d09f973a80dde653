#pragma once
// The placeholder data set that the build writes with datagen into
// build/data/ (target data_set), for the runs that draw whole battles as the
// game draws them: the benchmarks and the network battle peers. Without it a
// battle has no fighter, stage or effect pictures and models, and its figures
// would measure a frame with nothing to draw.
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace test {

// Links every file and folder of the data set into `programFolder`, so that
// a game started there reads it and writes its own files (config, replays)
// beside the links only. False, after saying on standard error what is
// missing and how to write it, when the data set is not complete.
bool LinkDataSet(const std::filesystem::path& programFolder);

// A fresh temporary program folder with the data set linked into it; the
// folder and the links (never the data) go with the object.
class DataSetFolder {
public:
    DataSetFolder() : linked_(LinkDataSet(folder_.path())) {}
    bool linked() const { return linked_; }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    TempDir folder_;
    bool linked_;
};

}  // namespace test
