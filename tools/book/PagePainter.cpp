#include "tools/book/PagePainter.h"

#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCRenderTexture.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCLabelTTF.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <cmath>

namespace bookmaker {

using namespace engine;

namespace {

constexpr int kPageWidth = 640;
constexpr int kPageHeight = 960;

// Draws `nodes` into a fresh transparent target and reads it back.
bool render(int width, int height, const std::vector<CCNode*>& nodes, std::vector<std::uint32_t>& argb) {
    CCRenderTexture* target = CCRenderTexture::create(width, height);
    if (!target) return false;
    target->beginWithClear(0, 0, 0, 0);
    for (CCNode* node : nodes)
        node->visit();
    target->end();
    int w = 0, h = 0;
    bool ok = target->readPixels(argb, w, h) && w == width && h == height;
    CCAutoreleasePool::sharedPool()->drain();
    return ok;
}

std::uint8_t blend(float coverage, std::uint8_t value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(coverage, 0.0f, 1.0f) * value));
}

} // namespace

PagePainter::PagePainter(const std::string& workFolder)
    : m_savedRoot(CCFileUtils::sharedFileUtils()->getResourceRoot()) {
    CCFileUtils::sharedFileUtils()->setResourceRoot(workFolder);
    m_open = HeadlessRun::openView({kPageWidth, kPageHeight}, {kPageWidth, kPageHeight});
}

PagePainter::~PagePainter() {
    CCAutoreleasePool::sharedPool()->drain();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    CCEGLView::sharedOpenGLView()->close();
    CCFileUtils::sharedFileUtils()->setResourceRoot(m_savedRoot);
}

bool PagePainter::paintPage(const std::string& pictureName, WordLayout& layout, const ccColor3B& ink,
                            const std::string& pngPath) {
    CCSprite* picture = CCSprite::create(pictureName.c_str());
    if (!picture) {
        CCLog("bookmaker: cannot load the picture %s", pictureName.c_str());
        return false;
    }
    picture->setAnchorPoint(CCPoint(0, 0));
    picture->setPosition(CCPoint(0, 0));
    layout.label()->setColor(ink);
    std::vector<std::uint32_t> pixels;
    if (!render(kPageWidth, kPageHeight, {picture, layout.label()}, pixels)) return false;
    return savePng(pixels, kPageWidth, kPageHeight, pngPath);
}

bool PagePainter::paintBand(const WordLayout& layout, std::size_t index, const ccColor4B& fill,
                            const ccColor4B& edge, const std::string& pngPath) {
    const CCRect& area = layout.words().at(index).hotspot;
    const int width = static_cast<int>(area.size.width);
    const int height = static_cast<int>(area.size.height);
    SDL_Surface* marker =
        roundedRect(width, height, std::min(14.0f, height * 0.3f), 2.0f, fill, edge, layout.squeeze());
    if (!marker) return false;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * width],
                    static_cast<std::uint8_t*>(marker->pixels) + y * marker->pitch, sizeof(std::uint32_t) * width);
    SDL_FreeSurface(marker);
    return savePng(pixels, width, height, pngPath);
}

bool PagePainter::paintHighlight(const WordLayout& layout, std::size_t index, const ccColor4B& fill,
                                 const ccColor4B& edge, const ccColor3B& ink, const std::string& pngPath) {
    const WordBox& word = layout.words().at(index);
    const CCRect& area = word.hotspot;
    const int width = static_cast<int>(area.size.width);
    const int height = static_cast<int>(area.size.height);
    SDL_Surface* marker =
        roundedRect(width, height, std::min(14.0f, height * 0.3f), 2.0f, fill, edge, layout.squeeze());
    if (!marker) return false;

    // The word alone, with its pen where the sentence has it: the glyphs land
    // on the very pixels of the printed word.
    CCLabelTTF* text =
        CCLabelTTF::create(word.text.c_str(), layout.label()->getFontName(), layout.label()->getFontSize());
    text->setColor(ink);
    text->setAnchorPoint(CCPoint(0, 1));
    text->setScaleX(layout.squeeze());
    CCPoint lineTop = layout.lineOrigin(word.line);
    text->setPosition(CCPoint(layout.penX(index) - area.origin.x, lineTop.y - area.origin.y));

    // Drawn on a clear target the text comes back premultiplied; laid over
    // the marker here so that no edge darkens.
    std::vector<std::uint32_t> pixels;
    bool ok = render(width, height, {text}, pixels);
    if (ok) {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<std::uint8_t*>(marker->pixels) +
                                                               y * marker->pitch);
            for (int x = 0; x < width; ++x) {
                std::uint32_t& top = pixels[static_cast<std::size_t>(y) * width + x];
                std::uint32_t under = row[x];
                float ta = (top >> 24) / 255.0f, ua = (under >> 24) / 255.0f;
                float outA = ta + ua * (1 - ta);
                std::uint32_t result = 0;
                if (outA > 0) {
                    for (int shift = 0; shift <= 16; shift += 8) {
                        float premul = ((top >> shift) & 0xff) + ((under >> shift) & 0xff) * ua * (1 - ta);
                        result |= std::uint32_t(std::clamp(std::lround(premul / outA), 0L, 255L)) << shift;
                    }
                    result |= std::uint32_t(std::lround(outA * 255)) << 24;
                }
                top = result;
            }
        }
    }
    SDL_FreeSurface(marker);
    return ok && savePng(pixels, width, height, pngPath);
}

SDL_Surface* PagePainter::roundedRect(int width, int height, float radius, float edgeWidth,
                                      const ccColor4B& fill, const ccColor4B& edge, float squeeze) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return nullptr;
    const float halfW = width * 0.5f, halfH = height * 0.5f;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                                     y * surface->pitch);
        for (int x = 0; x < width; ++x) {
            // Signed distance from the pixel's centre to the rounded outline,
            // measured where the shape is unsqueezed.
            float qx = (std::fabs(x + 0.5f - halfW) - (halfW - radius * squeeze)) / squeeze;
            float qy = std::fabs(y + 0.5f - halfH) - (halfH - radius);
            float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
            float distance = outside + std::min(std::max(qx, qy), 0.0f) - radius;
            float coverage = std::clamp(0.5f - distance, 0.0f, 1.0f);
            float edgeMix = std::clamp(distance + edgeWidth + 0.5f, 0.0f, 1.0f);
            auto mix = [&](std::uint8_t a, std::uint8_t b) {
                return static_cast<std::uint8_t>(std::lround(a + (b - a) * edgeMix));
            };
            std::uint8_t alpha = blend(coverage, mix(fill.a, edge.a));
            row[x] = (std::uint32_t(alpha) << 24) | (std::uint32_t(mix(fill.r, edge.r)) << 16) |
                     (std::uint32_t(mix(fill.g, edge.g)) << 8) | mix(fill.b, edge.b);
        }
    }
    return surface;
}

bool PagePainter::savePng(const std::vector<std::uint32_t>& argb, int width, int height,
                          const std::string& path) {
    if (argb.size() != static_cast<std::size_t>(width) * height) return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(argb.data()), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    bool saved = surface && IMG_SavePNG(surface, path.c_str()) == 0;
    if (!saved) CCLog("bookmaker: cannot write %s: %s", path.c_str(), SDL_GetError());
    if (surface) SDL_FreeSurface(surface);
    return saved;
}

} // namespace bookmaker
