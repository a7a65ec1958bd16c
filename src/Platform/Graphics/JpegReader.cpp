#include "Platform/Graphics/JpegReader.h"

#include <climits>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps back to the reader, which then gives up.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

// Decodes the rows into the pixels, which are sized by then. The row buffer
// belongs to the decoder (freed with it), since an error jumps out of here.
bool DecodeRows(jpeg_decompress_struct& info, PlatPixels& pixels) {
    JSAMPARRAY rows = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * 3, 1);
    while (info.output_scanline < info.output_height) {
        const UINT y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        uint32_t* out = pixels.texels.data() + size_t(y) * pixels.width;
        for (UINT x = 0; x < pixels.width; ++x) {
            const JSAMPLE* texel = rows[0] + size_t(x) * 3;
            out[x] = 0xFF000000u | (uint32_t(texel[0]) << 16) | (uint32_t(texel[1]) << 8) | texel[2];
        }
    }
    return true;
}

bool Decode(jpeg_decompress_struct& info, const uint8_t* data, size_t size, PlatPixels& pixels) {
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK ||
        !PlatImageSizeAllowed(info.image_width, info.image_height))
        return false;
    info.out_color_space = JCS_RGB;
    if (!jpeg_start_decompress(&info) || info.output_components != 3)
        return false;
    pixels = PlatPixels(info.output_width, info.output_height);
    return DecodeRows(info, pixels) && jpeg_finish_decompress(&info);
}

// Decode, with a decoder error ending it as a failure.
bool DecodeOrFail(jpeg_decompress_struct& info, JpegError& error, const uint8_t* data, size_t size,
                  PlatPixels& pixels) {
    if (setjmp(error.jump) != 0)
        return false;
    return Decode(info, data, size, pixels);
}

} // namespace

bool PlatReadJpeg(const uint8_t* data, size_t size, PlatImage* image) {
    if (size > size_t(LONG_MAX))
        return false;
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = IgnoreJpegMessage;
    PlatPixels pixels;
    jpeg_create_decompress(&info);
    const bool decoded = DecodeOrFail(info, error, data, size, pixels);
    jpeg_destroy_decompress(&info);
    if (!decoded)
        return false;
    PlatSetSinglePicture(image, D3DXIFF_JPG, D3DFMT_X8R8G8B8, std::move(pixels));
    return true;
}
