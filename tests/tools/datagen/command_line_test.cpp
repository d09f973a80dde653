// The datagen program's command line: help and options are never taken for
// the output folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

struct Outcome {
    int status = -1;
    std::string output;  // standard output and error
};

// Runs datagen with `arguments` inside `folder`.
Outcome RunDatagen(const std::filesystem::path& folder, const std::string& arguments) {
    const std::string command = "cd '" + folder.string() + "' && '" DATAGEN_PROGRAM "' " + arguments + " 2>&1";
    Outcome out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out.output += buffer;
    const int status = pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

TEST(DatagenCommandLine, HelpAndOptionsPrintTheUsageAndWriteNothing) {
    struct Case {
        const char* arguments;
        int status;
    };
    for (const Case& c : {Case{"--help", 0}, Case{"-h", 0}, Case{"--output", 2}, Case{"", 2}, Case{"a b", 2}}) {
        SCOPED_TRACE(c.arguments);
        test::TempDir dir;
        const Outcome out = RunDatagen(dir.path(), c.arguments);
        EXPECT_EQ(out.status, c.status);
        EXPECT_NE(out.output.find("usage: datagen OUTPUT_FOLDER"), std::string::npos) << out.output;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "something was written";
    }
}

}  // namespace
