// Writes the placeholder data set that the game reads beside its program.
// Each kind of data has one writer, and each writer writes its own files into
// the output folder.
#include <cstdio>
#include <string>

#include "tools/datagen/model_set.h"
#include "tools/datagen/picture_set.h"
#include "tools/datagen/sound_set.h"

namespace {

using DataWriter = bool (*)(const std::string& folder);

constexpr DataWriter DATA_WRITERS[] = {
    datagen::WritePictureSet,
    datagen::WriteSoundSet,
    datagen::WriteModelSet,
};

constexpr const char* USAGE =
    "usage: datagen OUTPUT_FOLDER\n"
    "Writes the placeholder data set (gf/*.dat pictures and models, se.dat, bgm.dat;\n"
    "about 45 MB) into OUTPUT_FOLDER, creating it when missing.\n";

// Options are not folders: a name starting with '-' is refused, so that a
// mistyped option does not fill a folder of that name.
bool IsOption(const std::string& argument) { return !argument.empty() && argument[0] == '-'; }

}  // namespace

int main(int argc, char** argv) {
    const std::string argument = argc == 2 ? argv[1] : "";
    if (argument == "-h" || argument == "--help") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc != 2 || argument.empty() || IsOption(argument)) {
        if (IsOption(argument)) std::fprintf(stderr, "datagen: unknown option %s\n", argument.c_str());
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string folder = argument;
    bool ok = true;
    for (DataWriter write : DATA_WRITERS) ok = write(folder) && ok;
    return ok ? 0 : 1;
}
