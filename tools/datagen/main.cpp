// Writes the placeholder data set that the game reads beside its program:
// one call per kind of data, each into the output folder.
#include <cstdio>
#include <string>

#include "tools/datagen/picture_set.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = datagen::WritePictureSet(folder);
    return ok ? 0 : 1;
}
