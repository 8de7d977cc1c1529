#include "engine/render/CCTexture2D.h"

#include "engine/base/CCLog.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTextureCache.h"
#include "engine/render/ccImageCodec.h"
#include "engine/render/ccImageSize.h"
#include "engine/render/ccPixelRows.h"

#include <SDL.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {
std::uint64_t g_lastContentId = 0;

// One known format: plain copies, meshes and pixel reads all agree on it.
// Takes the surface; null when it cannot be converted.
SDL_Surface* toArgb(SDL_Surface* surface) {
    if (surface->format->format == SDL_PIXELFORMAT_ARGB8888) return surface;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(surface);
    return converted;
}

// A texture of the surface's ARGB8888 pixels in `format`, ARGB8888 or
// RGB888: the same words, the second without alpha, so no pixel changes.
// On the software renderer a picture's texture is a streaming one: the
// renderer reads its pixels in place to copy it itself (there it costs
// nothing more; elsewhere a streaming texture keeps a second copy).
SDL_Texture* textureOf(SDL_Renderer* sdl, SDL_Surface* surface, Uint32 format, bool readable) {
    SDL_Texture* texture =
        SDL_CreateTexture(sdl, format, readable ? SDL_TEXTUREACCESS_STREAMING : SDL_TEXTUREACCESS_STATIC,
                          surface->w, surface->h);
    if (texture && SDL_UpdateTexture(texture, nullptr, surface->pixels, surface->pitch) != 0) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    return texture;
}

// An ARGB8888 surface whose pixels are left as they are: the decoder writes
// every one, and SDL's own would clear them all first. SDL frees pixels it
// did not allocate itself only when the surface is not marked
// preallocated, hence the flag taken off.
SDL_Surface* uncleared(int width, int height) {
    const size_t pitch = static_cast<size_t>(width) * 4;
    void* pixels = SDL_malloc(pitch * static_cast<size_t>(height));
    if (!pixels) return nullptr;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels, width, height, 32, static_cast<int>(pitch), SDL_PIXELFORMAT_ARGB8888);
    if (!surface) {
        SDL_free(pixels);
        return nullptr;
    }
    surface->flags &= ~static_cast<Uint32>(SDL_PREALLOC);
    return surface;
}

// A PNG decoded by libpng straight into ARGB8888, the one format textures
// keep: no second pass converts it. `opaque` tells whether the file has no
// alpha (nor a transparent colour), which spares the scan for see-through
// pixels. Null with the reason in `why`.
struct PngSource {
    const std::string* bytes;
    size_t at;
    char message[160];
};

void readPngBytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->bytes->size() - source->at) png_error(png, "the data ends early");
    std::memcpy(out, source->bytes->data() + source->at, count);
    source->at += count;
}

void pngFailed(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

void pngWarned(png_structp, png_const_charp) {}

// Plain C between setjmp and any longjmp: nothing here has a destructor.
SDL_Surface* decodePngInto(PngSource& source, bool& opaque) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, pngFailed, pngWarned);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    SDL_Surface* volatile surface = nullptr;
    png_bytep* volatile rows = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        if (surface) SDL_FreeSurface(surface);
        SDL_free(rows);
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return nullptr;
    }
    png_set_read_fn(png, &source, readPngBytes);
    // Each chunk's CRC already guards the compressed bytes; zlib's second
    // checksum over the inflated pixels costs as much as inflating them.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    const png_byte type = png_get_color_type(png, info);
    const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    opaque = !(type & PNG_COLOR_MASK_ALPHA) && !transparentColour;
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    // Eight-bit RGB or RGBA, or a palette, not interlaced: the common
    // pictures. Their rows are read as they are and made words here, several
    // times faster than libpng's general transforms.
    const bool palette = type == PNG_COLOR_TYPE_PALETTE;
    const bool plain = png_get_interlace_type(png, info) == PNG_INTERLACE_NONE &&
                       (palette || (png_get_bit_depth(png, info) == 8 && !transparentColour &&
                                    (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA)));
    std::uint32_t colours[256] = {};
    if (palette) {
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &entries, &count);
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        if (transparentColour) png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
        for (int i = 0; i < 256; ++i) {
            // An index past the palette is black, as libpng's expansion makes it.
            const png_color c = i < count ? entries[i] : png_color{0, 0, 0};
            const std::uint32_t a = i < alphaCount ? alphas[i] : 0xffu;
            colours[i] = a << 24 | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
        }
        if (png_get_bit_depth(png, info) < 8) png_set_packing(png); // one index a byte
    }
    if (!plain) {
        png_set_strip_16(png);
        png_set_packing(png);
        if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        if (transparentColour) png_set_tRNS_to_alpha(png);
        if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        // ARGB8888 is one 32-bit word: blue first in memory on little-endian machines.
        if (SDL_BYTEORDER == SDL_LIL_ENDIAN) {
            png_set_bgr(png);
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
        } else {
            png_set_swap_alpha(png);
            png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
        }
        png_set_interlace_handling(png);
    }
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const size_t bytesPerPixel = !plain ? 4 : palette ? 1 : type == PNG_COLOR_TYPE_RGB ? 3 : 4;
    if (rowBytes != static_cast<size_t>(width) * bytesPerPixel) png_error(png, "an unexpected pixel layout");
    surface = uncleared(static_cast<int>(width), static_cast<int>(height));
    if (!surface) png_error(png, "out of memory");
    if (plain) {
        rows = static_cast<png_bytep*>(SDL_malloc(rowBytes)); // one row, read in place
        if (!rows) png_error(png, "out of memory");
        auto* raw = reinterpret_cast<png_bytep>(rows);
        const bool alpha = type == PNG_COLOR_TYPE_RGB_ALPHA;
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, raw, nullptr);
            auto* out = reinterpret_cast<std::uint32_t*>(static_cast<png_bytep>(surface->pixels) +
                                                         static_cast<size_t>(y) * surface->pitch);
            const png_byte* in = raw;
            if (palette) {
                ccExpandPalette(out, colours, in, static_cast<int>(width));
            } else if (alpha) {
                for (png_uint_32 x = 0; x < width; ++x, in += 4)
                    out[x] = std::uint32_t{in[3]} << 24 | std::uint32_t{in[0]} << 16 |
                             std::uint32_t{in[1]} << 8 | in[2];
            } else {
                for (png_uint_32 x = 0; x < width; ++x, in += 3)
                    out[x] = 0xff000000u | std::uint32_t{in[0]} << 16 | std::uint32_t{in[1]} << 8 | in[2];
            }
        }
    } else {
        rows = static_cast<png_bytep*>(SDL_malloc(sizeof(png_bytep) * (height ? height : 1)));
        if (!rows) png_error(png, "out of memory");
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = static_cast<png_bytep>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        png_read_image(png, rows);
    }
    png_read_end(png, nullptr);
    SDL_free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return surface;
}

SDL_Surface* decodePng(const std::string& bytes, bool& opaque, std::string& why) {
    PngSource source{&bytes, 0, {}};
    SDL_Surface* surface = decodePngInto(source, opaque);
    if (!surface) why = source.message[0] ? source.message : "the PNG cannot be decoded";
    return surface;
}

// Whether every pixel of an ARGB8888 surface has alpha 255 (a picture without
// an alpha channel has been given one of 255 by the conversion).
bool hasNoTransparentPixel(SDL_Surface* surface) {
    if (SDL_LockSurface(surface) != 0) return false;
    bool opaque = true;
    for (int y = 0; y < surface->h && opaque; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                opaque = false;
                break;
            }
        }
    }
    SDL_UnlockSurface(surface);
    return opaque;
}
} // namespace

CCTexture2D::CCTexture2D() : m_contentId(++g_lastContentId) {}

void CCTexture2D::noteTargetReset() const {
    m_resetsSeen = s_targetResets;
    m_contentId = ++g_lastContentId;
}

void CCTexture2D::contentChanged() {
    m_contentId = ++g_lastContentId;
}

CCTexture2D::~CCTexture2D() {
    if (m_budgetBytes) CCTextureCache::sharedTextureCache()->releaseTextBytes(m_budgetBytes);
    dropSdlTexture();
    if (m_surface) SDL_FreeSurface(m_surface);
}

CCTexture2D* CCTexture2D::createWithImageData(const std::string& bytes, std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    bool opaque = false;
    SDL_Surface* decoded = decodeImage(bytes, why, &opaque);
    if (!decoded) return nullptr;
    CCTexture2D* texture = createWithSurface(decoded, opaque);
    if (!texture) {
        why = SDL_GetError();
        return nullptr;
    }
    texture->m_encoded = bytes;
    return texture;
}

SDL_Surface* CCTexture2D::decodeImage(const std::string& bytes, std::string& why, bool* opaque) {
    const ccImageHeader header = ccReadImageHeader(bytes);
    if (header.format == ccImageFormat::Unknown) {
        why = std::string("the file is ") + header.formatName + ", not a PNG or JPEG picture";
        return nullptr;
    }
    if (!header.sized) {
        why = std::string("the ") + header.formatName +
              " header is cut short or damaged; its size cannot be read";
        return nullptr;
    }
    if (header.width > kMaxImageSide || header.height > kMaxImageSide) {
        why = "the picture claims " + std::to_string(header.width) + " x " + std::to_string(header.height) +
              " pixels, beyond the limit of " + std::to_string(kMaxImageSide) + " x " +
              std::to_string(kMaxImageSide);
        return nullptr;
    }
    if (header.format == ccImageFormat::Jpeg && !ccJpegIsComplete(bytes)) {
        why = "the JPEG is cut short: it ends before its end-of-image marker";
        return nullptr;
    }
    if (header.format == ccImageFormat::Png && !ccPngIsComplete(bytes)) {
        why = "the PNG is cut short: a chunk runs past the end, or the end chunk is missing";
        return nullptr;
    }
    if (header.format == ccImageFormat::Png) {
        bool noAlpha = false;
        SDL_Surface* decoded = decodePng(bytes, noAlpha, why);
        if (opaque) *opaque = noAlpha;
        return decoded;
    }
    if (opaque) *opaque = true; // a JPEG has no alpha
    return ccDecodeJpeg(bytes, why);
}

CCTexture2D* CCTexture2D::createWithSurface(SDL_Surface* surface, bool knownOpaque) {
    if (!surface) return nullptr;
    SDL_Surface* converted = toArgb(surface);
    if (!converted) return nullptr;
    if (converted->w <= 0 || converted->h <= 0) {
        SDL_FreeSurface(converted);
        SDL_SetError("the image has no pixels");
        return nullptr;
    }
    auto* texture = new CCTexture2D();
    texture->m_opaque = knownOpaque || hasNoTransparentPixel(converted);
    texture->m_blending = !texture->m_opaque;
    texture->m_surface = converted;
    texture->m_pixelsWide = converted->w;
    texture->m_pixelsHigh = converted->h;
    texture->m_contentSize = CCSize(static_cast<float>(converted->w), static_cast<float>(converted->h));
    return autoreleased(texture);
}

CCTexture2D* CCTexture2D::createRenderTarget(int pixelsWide, int pixelsHigh, const CCSize& contentSize) {
    if (pixelsWide <= 0 || pixelsHigh <= 0) {
        CCLog("CCTexture2D::createRenderTarget: invalid size %d x %d", pixelsWide, pixelsHigh);
        return nullptr;
    }
    auto* texture = new CCTexture2D();
    texture->m_isTarget = true;
    texture->m_pixelsWide = pixelsWide;
    texture->m_pixelsHigh = pixelsHigh;
    texture->m_contentSize = contentSize;
    return autoreleased(texture);
}

void CCTexture2D::dropSdlTexture() {
    // A closed renderer has destroyed its textures already.
    if (m_texture && CCSDLRenderer::isGenerationAlive(m_generation)) SDL_DestroyTexture(m_texture);
    m_texture = nullptr;
    m_generation = 0;
}

SDL_Texture* CCTexture2D::sdlTexture(CCSDLRenderer& renderer) {
    if (m_texture && m_generation == renderer.generation()) return m_texture;
    dropSdlTexture();
    SDL_Renderer* sdl = renderer.sdlRenderer();
    if (m_isTarget) {
        m_textureFormat = SDL_PIXELFORMAT_ARGB8888;
        m_texture = SDL_CreateTexture(sdl, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, m_pixelsWide,
                                      m_pixelsHigh);
    } else {
        if (!m_surface && !m_encoded.empty()) {
            std::string why;
            SDL_Surface* decoded = decodeImage(m_encoded, why, nullptr);
            m_surface = decoded ? toArgb(decoded) : nullptr;
            if (!m_surface && !why.empty()) SDL_SetError("%s", why.c_str());
        }
        m_textureFormat =
            m_opaque ? renderer.opaqueTextureFormat() : static_cast<std::uint32_t>(SDL_PIXELFORMAT_ARGB8888);
        if (m_surface) m_texture = textureOf(sdl, m_surface, m_textureFormat, renderer.isSoftware());
        // SDL's texture holds the pixels now; a picture from a file can be
        // decoded again should another renderer need them.
        if (m_texture && !m_encoded.empty()) {
            SDL_FreeSurface(m_surface);
            m_surface = nullptr;
        }
    }
    if (!m_texture) {
        if (!m_reportedFailure) {
            CCLog("CCTexture2D: cannot make a %d x %d texture%s%s: %s", m_pixelsWide, m_pixelsHigh,
                  m_path.empty() ? "" : " for ", m_path.c_str(), SDL_GetError());
            m_reportedFailure = true;
        }
        return nullptr;
    }
    m_generation = renderer.generation();
    m_blending = !m_opaque;
    SDL_SetTextureBlendMode(m_texture, m_blending ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(m_texture,
                            renderer.isSmoothTextures() ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    m_modulation = {255, 255, 255, 255};
    if (m_isTarget) {
        // A fresh target starts transparent, whatever the driver left in it:
        // what was drawn into the old one is gone, so its content is new.
        contentChanged();
        SDL_Texture* previous = SDL_GetRenderTarget(sdl);
        if (SDL_SetRenderTarget(sdl, m_texture) == 0) {
            SDL_SetRenderDrawColor(sdl, 0, 0, 0, 0);
            SDL_RenderClear(sdl);
            SDL_SetRenderTarget(sdl, previous);
        }
    }
    return m_texture;
}

void CCTexture2D::setOpaque(bool opaque) {
    if (opaque != m_opaque) contentChanged(); // drawn differently
    // A picture kept without its alpha must be made again to show it.
    if (!opaque && m_texture && !m_isTarget && m_textureFormat != SDL_PIXELFORMAT_ARGB8888 &&
        (m_surface || !m_encoded.empty()))
        dropSdlTexture();
    m_opaque = opaque;
    setDrawnTranslucent(false);
}

void CCTexture2D::setDrawnTranslucent(bool translucent) {
    const bool blending = !m_opaque || translucent;
    if (!m_texture || blending == m_blending) return;
    m_blending = blending;
    SDL_SetTextureBlendMode(m_texture, blending ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
}

bool CCTexture2D::setModulation(const ccColor4B& color) {
    setDrawnTranslucent(color.a < 255);
    if (!m_texture || color == m_modulation) return false;
    m_modulation = color;
    SDL_SetTextureColorMod(m_texture, color.r, color.g, color.b);
    SDL_SetTextureAlphaMod(m_texture, color.a);
    return true;
}

} // namespace engine
