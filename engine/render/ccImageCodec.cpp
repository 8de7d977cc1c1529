#include "engine/render/ccImageCodec.h"

#include <SDL.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace engine {

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegFailed(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings (corrupt data that still decodes) would go to stderr.
void jpegQuiet(j_common_ptr) {}

} // namespace

SDL_Surface* ccDecodeJpeg(std::string_view bytes, std::string& why) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    error.manager.output_message = jpegQuiet;
    SDL_Surface* volatile surface = nullptr;
    JSAMPLE* volatile row = nullptr;
    if (setjmp(error.jump)) {
        why = error.message;
        if (surface) SDL_FreeSurface(surface);
        SDL_free(row);
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    // libjpeg-turbo writes ARGB8888's bytes itself, except from CMYK.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : SDL_BYTEORDER == SDL_LIL_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
    surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) {
        why = SDL_GetError();
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    if (cmyk) {
        row = static_cast<JSAMPLE*>(SDL_malloc(static_cast<size_t>(width) * 4));
        if (!row) {
            SDL_FreeSurface(surface);
            jpeg_destroy_decompress(&info);
            why = "out of memory";
            return nullptr;
        }
    }
    while (info.output_scanline < info.output_height) {
        auto* out =
            reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(surface->pixels) +
                                             static_cast<size_t>(info.output_scanline) * surface->pitch);
        JSAMPROW target = cmyk ? row : reinterpret_cast<JSAMPROW>(out);
        jpeg_read_scanlines(&info, &target, 1);
        if (!cmyk) continue;
        // Photoshop's CMYK JPEGs, the ones met in practice, store the inks
        // inverted: each channel times black is the colour.
        const JSAMPLE* in = row;
        for (int x = 0; x < width; ++x, in += 4) {
            const std::uint32_t k = in[3];
            out[x] = 0xff000000u | (in[0] * k / 255) << 16 | (in[1] * k / 255) << 8 | (in[2] * k / 255);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    SDL_free(row);
    return surface;
}

bool ccEncodePng(const std::uint32_t* argb, int width, int height, std::vector<unsigned char>& png,
                 std::string& why) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    // An ARGB8888 word is B, G, R, A in memory on little-endian machines.
    image.format = SDL_BYTEORDER == SDL_LIL_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    png_alloc_size_t size = 0;
    // Counted in components, four a pixel.
    const png_int_32 stride = width * 4;
    if (png_image_write_get_memory_size(image, size, 0, argb, stride, nullptr)) {
        png.resize(size);
        if (png_image_write_to_memory(&image, png.data(), &size, 0, argb, stride, nullptr)) {
            png.resize(size);
            return true;
        }
    }
    why = image.message[0] ? image.message : "libpng cannot write the picture";
    png_image_free(&image);
    png.clear();
    return false;
}

} // namespace engine
