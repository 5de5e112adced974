// JPEG decoding with libjpeg, its fatal errors turned into returned failures.
#include "platform/jpegdecoder.h"

#include "platform/fileutil.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zarel {

namespace {

constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onFatalError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    std::longjmp(manager->jump, 1);
}

void onMessage(j_common_ptr) { }

// Kept outside the function that calls setjmp, so no object with a destructor lives across it.
bool decodeInto(const std::vector<uint8_t> &bytes, RgbImage &image)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width > kMaxSide
        || info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row
            = image.pixels.data() + static_cast<size_t>(info.output_scanline) * image.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

Status decodeJpeg(const std::vector<uint8_t> &bytes, RgbImage &image)
{
    image = RgbImage {};
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return Status::failure(ErrorCode::BadFormat, "Not a JPEG picture");
    RgbImage decoded;
    if (!decodeInto(bytes, decoded))
        return Status::failure(ErrorCode::BadFormat, "Damaged JPEG picture");
    image = std::move(decoded);
    return Status::success();
}

Status decodeJpegFile(const std::string &path, RgbImage &image)
{
    image = RgbImage {};
    std::string contents;
    Status st = readWholeFile(path, contents);
    if (!st.ok())
        return st;
    st = decodeJpeg(std::vector<uint8_t>(contents.begin(), contents.end()), image);
    st.path = path;
    return st;
}

} // namespace zarel
