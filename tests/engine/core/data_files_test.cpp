// The command a missing or damaged data file's message gives for writing the
// placeholder data set.
#include "engine/core/data_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The datagen beside the program when it is one that runs; else the source
// tree's command, which the README gives (a copied or installed game has no
// build/bin/datagen beside it).
TEST(DatagenCommand, NamesTheDatagenBesideTheProgramWhenThereIsOne) {
    const std::string sourceTree = " (in the game's source tree, after ./scripts/build.sh)";
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
        bool beside;
    } cases[] = {
        {"a datagen that runs",
         [](const fs::path& p) {
             test::PutText(p, "#!/bin/sh\n");
             fs::permissions(p, fs::perms::owner_all);
         },
         true},
        {"no datagen", [](const fs::path&) {}, false},
        {"a datagen that cannot run", [](const fs::path& p) { test::PutText(p, "#!/bin/sh\n"); }, false},
        {"a folder named datagen", [](const fs::path& p) { fs::create_directory(p); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir program;
        const fs::path datagen = program.path() / "datagen";
        c.make(datagen);
        const std::string data = "/games/aerial";
        EXPECT_EQ(DatagenCommand(program.path().string(), data),
                  c.beside ? datagen.string() + " " + data : "build/bin/datagen " + data + sourceTree);
    }
}

}  // namespace
