#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/models/xfile_format.h"
#include "fuzz/fuzz_support.h"

// What the two X-file targets share. Each fixes the encoding in the header it
// puts before the input, so that no mutation is spent on the header: the
// input's first byte chooses 32- or 64-bit floats (its lowest bit), the rest
// is the body of the file.

namespace fuzz {

// Parses the file, walks it into model data and builds every mesh's
// buffers, checking the promises each step makes to the next. A document
// that parses is also re-encoded in its own encoding and must read back the
// same.
void CheckXFile(xfile::XEncoding encoding, const uint8_t* data, size_t size);

// Seeds in the target's form: the stage model of the data set and small
// documents that reach every object the model reader knows (skins,
// animations, materials, references, templates, 64-bit floats).
void WriteXFileSeeds(Seeds& seeds, xfile::XEncoding encoding);

}  // namespace fuzz
