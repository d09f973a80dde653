#pragma once
#include "platform/image_file.h"

namespace platform::imagefile {

// Each decoder recognises its own format; false for data it cannot read.
bool IsPng(const uint8_t* data, size_t size);
bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out);
bool IsJpeg(const uint8_t* data, size_t size);
bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage* out);
bool IsBmp(const uint8_t* data, size_t size);
bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage* out);
bool DecodeTga(const uint8_t* data, size_t size, DecodedImage* out);

bool SidesAreSane(int64_t width, int64_t height);

}  // namespace platform::imagefile
