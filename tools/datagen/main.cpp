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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (DataWriter write : DATA_WRITERS) ok = write(folder) && ok;
    return ok ? 0 : 1;
}
