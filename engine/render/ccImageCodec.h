#pragma once
// JPEG pictures in and PNG frames out, through libjpeg and libpng directly:
// the reader needs no other image library for them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SDL_Surface;

namespace engine {

// A whole JPEG (see ccJpegIsComplete) decoded into an ARGB8888 surface,
// opaque; grey and CMYK pictures come out as RGB. Null with the reason in
// `why`. The caller has checked the size that the header claims.
SDL_Surface* ccDecodeJpeg(std::string_view bytes, std::string& why);

// ARGB8888 pixels, `width` a row, as the bytes of an RGBA PNG file.
bool ccEncodePng(const std::uint32_t* argb, int width, int height, std::vector<unsigned char>& png,
                 std::string& why);

} // namespace engine
