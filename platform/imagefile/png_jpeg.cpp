// PNG through libpng's simplified reader, JPEG through libjpeg.
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "platform/imagefile/decoders.h"

namespace platform::imagefile {

bool IsPng(const uint8_t* data, size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    if (!SidesAreSane(image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->pixels.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr) != 0;
}

bool IsJpeg(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

// Kept apart from DecodeJpeg so that no object with a destructor lives in the
// frame that longjmp leaves.
bool ReadJpeg(jpeg_decompress_struct* info, JpegError* error, const uint8_t* data, size_t size,
              DecodedImage* out) {
    if (setjmp(error->jump)) return false;
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
    if (!SidesAreSane(info->image_width, info->image_height)) return false;
    info->out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(info);
    out->width = static_cast<int>(info->output_width);
    out->height = static_cast<int>(info->output_height);
    out->pixels.assign(static_cast<size_t>(out->width) * out->height * 4, 0);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->pixels.data() + static_cast<size_t>(info->output_scanline) * out->width * 4;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, DecodedImage* out) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = IgnoreJpegMessage;
    jpeg_create_decompress(&info);
    bool ok = ReadJpeg(&info, &error, data, size, out);
    jpeg_destroy_decompress(&info);
    return ok;
}

}  // namespace platform::imagefile
