// X files in the text encoding: parsing, the model data taken from them and
// the mesh buffers built from that.
#include "fuzz/xfile_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::CheckXFile(xfile::XEncoding::Text, data, size);
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) { fuzz::WriteXFileSeeds(seeds, xfile::XEncoding::Text); }
