#pragma once
#include <functional>
#include <string>
#include <vector>

#include "tools/datagen/canvas.h"

namespace datagen {

// One entry of a picture archive: where it goes, its key, size and stored
// format, and how it is painted.
struct Picture {
    std::string archive;  // below the output folder, e.g. "gf/system.dat"
    std::string key;
    int width = 0;
    int height = 0;
    int format = 0;  // an ImagePixelFormat
    std::function<void(Canvas&, Lettering&)> paint;
    // False for data that no screen ever shows; only such a picture may carry
    // its key (Canvas::KeyLabel).
    bool drawn = true;
};

// Every picture that the game reads, archive by archive.
std::vector<Picture> PictureCatalogue();

// The archives of the catalogue, in catalogue order.
std::vector<std::string> PictureArchives(const std::vector<Picture>& catalogue);

// Paints and writes one archive of the catalogue below folder (creating its
// subfolder); false when the file cannot be written.
bool WritePictureArchive(const std::string& folder, const std::vector<Picture>& catalogue,
                         const std::string& archive);

// Writes every picture archive below folder, several at once; false, with a
// message on standard error, when one cannot be written.
bool WritePictureSet(const std::string& folder);

}  // namespace datagen
