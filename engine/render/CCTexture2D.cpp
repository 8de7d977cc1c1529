#include "engine/render/CCTexture2D.h"

#include "engine/base/CCLog.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTextureCache.h"
#include "engine/render/ccImageSize.h"

#include <SDL.h>
#include <SDL_image.h>

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
    SDL_Surface* decoded = decodeImage(bytes, why);
    if (!decoded) return nullptr;
    CCTexture2D* texture = createWithSurface(decoded);
    if (!texture) {
        why = SDL_GetError();
        return nullptr;
    }
    texture->m_encoded = bytes;
    return texture;
}

SDL_Surface* CCTexture2D::decodeImage(const std::string& bytes, std::string& why) {
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
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!source) {
        why = SDL_GetError();
        return nullptr;
    }
    SDL_Surface* loaded =
        header.format == ccImageFormat::Png ? IMG_LoadPNG_RW(source) : IMG_LoadJPG_RW(source);
    SDL_RWclose(source);
    if (!loaded) {
        why = IMG_GetError();
        return nullptr;
    }
    return loaded;
}

CCTexture2D* CCTexture2D::createWithSurface(SDL_Surface* surface) {
    if (!surface) return nullptr;
    SDL_Surface* converted = toArgb(surface);
    if (!converted) return nullptr;
    if (converted->w <= 0 || converted->h <= 0) {
        SDL_FreeSurface(converted);
        SDL_SetError("the image has no pixels");
        return nullptr;
    }
    auto* texture = new CCTexture2D();
    texture->m_opaque = hasNoTransparentPixel(converted);
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
        m_texture = SDL_CreateTexture(sdl, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, m_pixelsWide,
                                      m_pixelsHigh);
    } else {
        if (!m_surface && !m_encoded.empty()) {
            std::string why;
            SDL_Surface* decoded = decodeImage(m_encoded, why);
            m_surface = decoded ? toArgb(decoded) : nullptr;
            if (!m_surface && !why.empty()) SDL_SetError("%s", why.c_str());
        }
        if (m_surface) m_texture = SDL_CreateTextureFromSurface(sdl, m_surface);
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
