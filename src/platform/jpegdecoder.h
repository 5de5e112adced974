// JPEG decoding through libjpeg: the logos and background pictures of the windows. Decoding
// only; damaged or missing files give an empty image, never a crash.
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zarel {

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // width * height * 3 bytes, RGB, rows top to bottom

    bool empty() const { return width == 0 || height == 0; }
};

// Decodes JPEG bytes into 8-bit RGB (grey images are widened). Pictures larger than
// 8192 x 8192 pixels are refused. On any failure `image` is left empty.
Status decodeJpeg(const std::vector<uint8_t> &bytes, RgbImage &image);

// Reads and decodes a JPEG file.
Status decodeJpegFile(const std::string &path, RgbImage &image);

} // namespace zarel
