#include "engine/render/CCSDLRenderer.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/ccPixelRows.h"
#include "engine/render/ccTriangleFill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace engine {

namespace {

unsigned int g_lastGeneration = 0;
std::vector<unsigned int> g_aliveGenerations;

SDL_Color toSdl(const ccColor4B& c) {
    return {c.r, c.g, c.b, c.a};
}

SDL_Vertex vertexAt(const CCAffineTransform& t, float x, float y, const SDL_Color& color, float u, float v) {
    return {{t.a * x + t.c * y + t.tx, t.b * x + t.d * y + t.ty}, color, {u, v}};
}

bool sameColor(const ccColor4B colors[4]) {
    return colors[0] == colors[1] && colors[0] == colors[2] && colors[0] == colors[3];
}

// Whole pixels, edges rounded: SDL truncates float rectangles on some
// renderers, which loses the last row of a full-screen fill to rounding.
SDL_FRect snapped(float left, float top, float right, float bottom) {
    float x0 = std::round(left), y0 = std::round(top);
    return {x0, y0, std::round(right) - x0, std::round(bottom) - y0};
}

constexpr int kQuadIndices[6] = {0, 1, 2, 2, 1, 3};
constexpr float kSoftwareCell = 256.0f;

// SDL 2.26's software triangle fill goes wrong on large triangles: they go
// out in pieces no larger than kSoftwareCell in pixels and texels. A split
// keeps every value linear across the triangle: the same pixels, in pieces.
// The renderer's own fill has no such limit and takes whole triangles.
template <class Sink>
void splitForSoftware(const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c, float texW, float texH,
                      int depth, Sink& sink) {
    auto span = [](float p, float q, float r) { return std::max({p, q, r}) - std::min({p, q, r}); };
    float extent = std::max({span(a.position.x, b.position.x, c.position.x),
                             span(a.position.y, b.position.y, c.position.y),
                             span(a.tex_coord.x, b.tex_coord.x, c.tex_coord.x) * texW,
                             span(a.tex_coord.y, b.tex_coord.y, c.tex_coord.y) * texH});
    constexpr int kMaxSplits = 8;
    if (!(extent > kSoftwareCell) || depth >= kMaxSplits) {
        sink(a, b, c);
        return;
    }
    auto midpoint = [](const SDL_Vertex& p, const SDL_Vertex& q) {
        auto mix = [](Uint8 x, Uint8 y) { return static_cast<Uint8>((x + y + 1) / 2); };
        return SDL_Vertex{{(p.position.x + q.position.x) / 2, (p.position.y + q.position.y) / 2},
                          {mix(p.color.r, q.color.r), mix(p.color.g, q.color.g), mix(p.color.b, q.color.b),
                           mix(p.color.a, q.color.a)},
                          {(p.tex_coord.x + q.tex_coord.x) / 2, (p.tex_coord.y + q.tex_coord.y) / 2}};
    };
    SDL_Vertex ab = midpoint(a, b), bc = midpoint(b, c), ca = midpoint(c, a);
    splitForSoftware(a, ab, ca, texW, texH, depth + 1, sink);
    splitForSoftware(ab, b, bc, texW, texH, depth + 1, sink);
    splitForSoftware(ca, bc, c, texW, texH, depth + 1, sink);
    splitForSoftware(ab, bc, ca, texW, texH, depth + 1, sink);
}

// A row of an ARGB8888 picture blended onto the screen with the arithmetic
// of SDL 2's scaling blitters (straight alpha, products divided by 255 and
// cut), so that the pixels are SDL's own. Most pixels of a picture are
// wholly clear or wholly solid, and those take no arithmetic.
void blendRow(std::uint32_t* pixels, const std::uint32_t* texels, const int* columns, int width,
              bool screenAlpha) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t s = texels[columns[x]];
        const std::uint32_t a = s >> 24;
        if (a == 0) continue;
        std::uint32_t r = (s >> 16) & 0xff, g = (s >> 8) & 0xff, b = s & 0xff;
        const std::uint32_t d = pixels[x];
        if (a == 255) {
            pixels[x] = screenAlpha ? s : (r << 16 | g << 8 | b);
            continue;
        }
        r = r * a / 255;
        g = g * a / 255;
        b = b * a / 255;
        const std::uint32_t keep = 255 - a;
        r += keep * ((d >> 16) & 0xff) / 255;
        g += keep * ((d >> 8) & 0xff) / 255;
        b += keep * (d & 0xff) / 255;
        std::uint32_t out = r << 16 | g << 8 | b;
        if (screenAlpha) out |= (a + keep * (d >> 24) / 255) << 24;
        pixels[x] = out;
    }
}

} // namespace

// --- lifetime

CCSDLRenderer::CCSDLRenderer(SDL_Renderer* renderer)
    : m_renderer(renderer), m_generation(++g_lastGeneration) {
    g_aliveGenerations.push_back(m_generation);
    // Room for a busy frame's batches from the start: frames then allocate nothing.
    m_vertices.reserve(4096);
    m_indices.reserve(8192);
    SDL_RendererInfo info;
    bool known = SDL_GetRendererInfo(renderer, &info) == 0;
    m_software = known && (info.flags & SDL_RENDERER_SOFTWARE);
    // Zero means no limit of the renderer's own.
    for (int side : {known ? info.max_texture_width : 0, known ? info.max_texture_height : 0})
        if (side > 0) m_maxTextureSize = std::min(m_maxTextureSize, side);
    m_smooth = !m_software;
    // Other renderers keep one format: a second one would be a second shader
    // for OpenGL to build.
    SDL_Window* window = SDL_RenderGetWindow(renderer);
    if (m_software && window && SDL_GetWindowPixelFormat(window) == SDL_PIXELFORMAT_RGB888)
        m_opaqueFormat = SDL_PIXELFORMAT_RGB888;
    SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_BLEND);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(m_renderer, &w, &h);
    m_screen.designHeight = static_cast<float>(h);
}

CCSDLRenderer::~CCSDLRenderer() {
    while (!m_savedTargets.empty())
        endTarget();
    m_vertices.clear();
    m_indices.clear();
    m_batchOwner = nullptr; // while this renderer still counts as alive
    std::erase(g_aliveGenerations, m_generation);
}

CCSDLRenderer* CCSDLRenderer::current() {
    return dynamic_cast<CCSDLRenderer*>(CCDirector::sharedDirector()->getRenderer());
}

int CCSDLRenderer::largestTexture() {
    CCSDLRenderer* renderer = current();
    return renderer ? renderer->maxTextureSize() : kTextureSizeCap;
}

bool CCSDLRenderer::isGenerationAlive(unsigned int generation) {
    return std::find(g_aliveGenerations.begin(), g_aliveGenerations.end(), generation) !=
           g_aliveGenerations.end();
}

// --- mapping

void CCSDLRenderer::setScreenMapping(const CCScreenMapping& mapping) {
    flush();
    m_screen = mapping;
    m_shownKnown = false;
    if (!m_target.texture) applyClip();
}

CCAffineTransform CCSDLRenderer::toPixels(const CCAffineTransform& world) const {
    const CCScreenMapping& m = *m_mapping;
    return {world.a * m.scaleX,
            -world.b * m.scaleY,
            world.c * m.scaleX,
            -world.d * m.scaleY,
            m.offsetX + world.tx * m.scaleX,
            m.offsetY + (m.designHeight - world.ty) * m.scaleY};
}

// --- frame

void CCSDLRenderer::beginFrame() {
    m_record.clear(); // draws between frames (a snapshot taken early) are no part of this one
    if (!m_savedTargets.empty()) {
        CCLog("CCSDLRenderer: a render target was left open by the last frame; closing it");
        while (!m_savedTargets.empty())
            endTarget();
    }
    if (!m_target.clips.empty()) {
        CCLog("CCSDLRenderer: %d clip rectangle(s) left pushed by the last frame; dropping them",
              static_cast<int>(m_target.clips.size()));
        m_target.clips.clear();
        applyClip();
    }
    clear(m_clearColor);
}

void CCSDLRenderer::endFrame() {
    if (!m_savedTargets.empty()) {
        CCLog("CCSDLRenderer: a render target is still open at the end of the frame; closing it");
        while (!m_savedTargets.empty())
            endTarget();
    }
    flush();
    if (m_presenter)
        m_presenter();
    else
        SDL_RenderPresent(m_renderer);
    if (m_recording) {
        m_lastFrameChanged = !m_shownKnown || m_record != m_shown;
        m_shown.swap(m_record);
        m_shownKnown = true;
    }
    m_record.clear();
}

void CCSDLRenderer::clear(const ccColor4B& color) {
    if (m_recording) {
        note('C');
        note(color);
        if (m_probing) return;
    }
    flush();
    SDL_SetRenderDrawColor(m_renderer, color.r, color.g, color.b, color.a);
    SDL_RenderClear(m_renderer);
}

void CCSDLRenderer::flush() {
    if (m_vertices.empty()) return;
    // Geometry takes its colours from the vertices; a copy's modulation must
    // not tint it as well.
    if (m_batchOwner) {
        setModulation(m_batchOwner.get(), {255, 255, 255, 255});
        if (m_batchOwner->isOpaque())
            m_batchOwner->setDrawnTranslucent(std::any_of(
                m_vertices.begin(), m_vertices.end(), [](const SDL_Vertex& v) { return v.color.a != 255; }));
    }
    SDL_RenderGeometry(m_renderer, m_batchTexture, m_vertices.data(), static_cast<int>(m_vertices.size()),
                       m_indices.data(), static_cast<int>(m_indices.size()));
    countDraw(m_batchTexture);
    ++m_stats.flushes;
    m_vertices.clear();
    m_indices.clear();
    m_batchTexture = nullptr;
    m_batchOwner = nullptr;
}

void CCSDLRenderer::countDraw(SDL_Texture* texture) {
    ++m_stats.drawCalls;
    if (texture != m_lastDrawn) ++m_stats.textureChanges;
    m_lastDrawn = texture;
}

void CCSDLRenderer::setModulation(CCTexture2D* texture, const ccColor4B& color) {
    if (texture->setModulation(color)) ++m_stats.textureChanges;
}

void CCSDLRenderer::queue(SDL_Texture* texture, const SDL_Vertex* vertices, int vertexCount,
                          const int* indices, int indexCount) {
    if (!m_vertices.empty() && texture != m_batchTexture) flush();
    m_batchTexture = texture;
    int base = static_cast<int>(m_vertices.size());
    m_vertices.insert(m_vertices.end(), vertices, vertices + vertexCount);
    if (indices) {
        for (int i = 0; i < indexCount; ++i)
            m_indices.push_back(base + indices[i]);
    } else {
        for (int i = 0; i < vertexCount; ++i)
            m_indices.push_back(base + i);
    }
}

// --- change detection

void CCSDLRenderer::setRecording(bool on) {
    m_recording = on;
    m_shownKnown = false;
    m_lastFrameChanged = true;
    m_record.clear();
}

void CCSDLRenderer::beginProbe() {
    m_probing = m_recording;
    m_record.clear();
    // What beginFrame does first.
    if (m_probing) clear(m_clearColor);
}

bool CCSDLRenderer::endProbe() {
    bool changed = !m_probing || !m_shownKnown || m_record != m_shown;
    m_probing = false;
    m_record.clear();
    return changed;
}

void CCSDLRenderer::note(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    m_record.push_back(bits);
}

void CCSDLRenderer::note(const ccColor4B& c) {
    m_record.push_back(static_cast<std::uint32_t>(c.r) << 24 | static_cast<std::uint32_t>(c.g) << 16 |
                       static_cast<std::uint32_t>(c.b) << 8 | c.a);
}

void CCSDLRenderer::note(const CCAffineTransform& t) {
    for (float value : {t.a, t.b, t.c, t.d, t.tx, t.ty})
        note(value);
}

void CCSDLRenderer::note(const CCRect& rect) {
    for (float value : {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height})
        note(value);
}

void CCSDLRenderer::note(const CCTexture2D* texture) {
    std::uint64_t id = texture ? texture->contentId() : 0;
    m_record.push_back(static_cast<std::uint32_t>(id));
    m_record.push_back(static_cast<std::uint32_t>(id >> 32));
}

// --- drawing

void CCSDLRenderer::drawTexturedQuad(CCTexture2D* texture, const CCRect& texRect, const CCSize& size,
                                     const CCAffineTransform& world, const ccColor4B& color, bool flipX,
                                     bool flipY) {
    if (m_recording) {
        note('Q');
        note(texture);
        note(texRect);
        note(size.width);
        note(size.height);
        note(world);
        note(color);
        note((flipX ? 1u : 0u) | (flipY ? 2u : 0u));
        if (m_probing) return;
    }
    if (!texture || color.a == 0 || m_clipEmpty) return;
    if (size.width <= 0 || size.height <= 0 || texRect.size.width <= 0 || texRect.size.height <= 0) return;
    SDL_Texture* sdlTexture = texture->sdlTexture(*this);
    if (!sdlTexture) return;
    ++m_stats.quads;
    CCAffineTransform pixel = toPixels(world);
    if (usePlainCopies() && tryPlainCopy(texture, sdlTexture, texRect, size, pixel, color, flipX, flipY))
        return;

    float texW = static_cast<float>(texture->getPixelsWide()),
          texH = static_cast<float>(texture->getPixelsHigh());
    float u0 = texRect.getMinX() / texW, u1 = texRect.getMaxX() / texW;
    float vTop = texRect.getMinY() / texH, vBottom = texRect.getMaxY() / texH;
    if (flipX) std::swap(u0, u1);
    if (flipY) std::swap(vTop, vBottom);
    SDL_Color c = toSdl(color);
    if (m_batchOwner != texture) {
        flush();
        m_batchOwner = texture;
    }
    // SDL 2.26's software triangle blitter crashes on triangles that span
    // large texture areas (a 640 x 960 picture drawn 1:1 is enough): there,
    // quads go out as a grid of cells of at most kSoftwareCell texels.
    int columns = 1, rows = 1;
    if (m_software) {
        columns = std::max(1, static_cast<int>(std::ceil(texRect.size.width / kSoftwareCell)));
        rows = std::max(1, static_cast<int>(std::ceil(texRect.size.height / kSoftwareCell)));
    }
    // Local y points up, texture rows go down: the quad's top edge shows the rect's top row.
    std::vector<SDL_Vertex>& grid = m_gridVertices;
    std::vector<int>& indices = m_gridIndices;
    grid.clear();
    indices.clear();
    for (int row = 0; row <= rows; ++row) {
        float fy = static_cast<float>(row) / rows;
        for (int column = 0; column <= columns; ++column) {
            float fx = static_cast<float>(column) / columns;
            grid.push_back(vertexAt(pixel, size.width * fx, size.height * fy, c, u0 + (u1 - u0) * fx,
                                    vBottom + (vTop - vBottom) * fy));
        }
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            int first = row * (columns + 1) + column;
            for (int corner : kQuadIndices)
                indices.push_back(first + (corner & 1) + (corner >> 1) * (columns + 1));
        }
    }
    queue(sdlTexture, grid.data(), static_cast<int>(grid.size()), indices.data(),
          static_cast<int>(indices.size()));
}

bool CCSDLRenderer::tryPlainCopy(CCTexture2D* texture, SDL_Texture* sdlTexture, const CCRect& texRect,
                                 const CCSize& size, const CCAffineTransform& p, const ccColor4B& color,
                                 bool flipX, bool flipY) {
    // Pixel images of the quad's local x and y axes.
    float exX = p.a, exY = p.b, eyX = p.c, eyY = p.d;
    float lengthX = std::sqrt(exX * exX + exY * exY), lengthY = std::sqrt(eyX * eyX + eyY * eyY);
    if (lengthX == 0 || lengthY == 0) return true; // nothing to see
    // Skewed (a rotated sprite under a stretched mapping): only a mesh draws it.
    if (std::fabs(exX * eyX + exY * eyY) > 1e-4f * lengthX * lengthY) return false;
    float rightX = exX / lengthX, rightY = exY / lengthX;
    // Texture rows run against local y; a copy rotated to `right` runs them
    // along (-rightY, rightX). Otherwise the image is mirrored vertically.
    float downX = -eyX / lengthY, downY = -eyY / lengthY;
    bool mirrored = (downX * -rightY + downY * rightX) < 0;
    int flip = SDL_FLIP_NONE;
    if (flipX) flip ^= SDL_FLIP_HORIZONTAL;
    if (flipY != mirrored) flip ^= SDL_FLIP_VERTICAL;

    float width = lengthX * size.width, height = lengthY * size.height;
    float centreX = p.a * size.width * 0.5f + p.c * size.height * 0.5f + p.tx;
    float centreY = p.b * size.width * 0.5f + p.d * size.height * 0.5f + p.ty;
    SDL_FRect dst = snapped(centreX - width * 0.5f, centreY - height * 0.5f, centreX + width * 0.5f,
                            centreY + height * 0.5f);
    SDL_Rect src{static_cast<int>(std::lround(texRect.getMinX())),
                 static_cast<int>(std::lround(texRect.getMinY())),
                 static_cast<int>(std::lround(texRect.size.width)),
                 static_cast<int>(std::lround(texRect.size.height))};
    bool upright = std::fabs(rightY) < 1e-6f && rightX > 0;
    if (upright && flip == SDL_FLIP_NONE && color == ccColor4B{255, 255, 255, 255} &&
        copyOwn(texture, sdlTexture, src, dst)) {
        setModulation(texture, color); // SDL's state kept true for its next copy
        countDraw(sdlTexture);
        ++m_stats.copies;
        ++m_stats.ownCopies;
        return true;
    }
    flush();
    setModulation(texture, color);
    if (upright && flip == SDL_FLIP_NONE) {
        SDL_RenderCopyF(m_renderer, sdlTexture, &src, &dst);
    } else {
        double angle = std::atan2(rightY, rightX) * 180.0 / std::numbers::pi;
        SDL_RenderCopyExF(m_renderer, sdlTexture, &src, &dst, angle, nullptr,
                          static_cast<SDL_RendererFlip>(flip));
    }
    countDraw(sdlTexture);
    ++m_stats.copies;
    return true;
}

void CCSDLRenderer::drawColoredQuad(const CCSize& size, const CCAffineTransform& world,
                                    const ccColor4B& color) {
    const ccColor4B colors[4] = {color, color, color, color};
    drawColoredQuad(size, world, colors);
}

void CCSDLRenderer::drawColoredQuad(const CCSize& size, const CCAffineTransform& world,
                                    const ccColor4B colors[4]) {
    if (m_recording) {
        note('F');
        note(size.width);
        note(size.height);
        note(world);
        for (int i = 0; i < 4; ++i)
            note(colors[i]);
        if (m_probing) return;
    }
    if (m_clipEmpty || size.width <= 0 || size.height <= 0) return;
    if (colors[0].a == 0 && colors[1].a == 0 && colors[2].a == 0 && colors[3].a == 0) return;
    ++m_stats.quads;
    CCAffineTransform pixel = toPixels(world);
    // An upright rectangle of one colour is a plain fill on every renderer.
    if (sameColor(colors) && pixel.b == 0 && pixel.c == 0) {
        float x0 = pixel.tx, x1 = pixel.tx + pixel.a * size.width;
        float y0 = pixel.ty, y1 = pixel.ty + pixel.d * size.height;
        SDL_FRect rect = snapped(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
        flush();
        SDL_SetRenderDrawColor(m_renderer, colors[0].r, colors[0].g, colors[0].b, colors[0].a);
        SDL_RenderFillRectF(m_renderer, &rect);
        countDraw(nullptr);
        return;
    }
    SDL_Vertex quad[4] = {vertexAt(pixel, 0, 0, toSdl(colors[0]), 0, 0),
                          vertexAt(pixel, size.width, 0, toSdl(colors[1]), 0, 0),
                          vertexAt(pixel, 0, size.height, toSdl(colors[2]), 0, 0),
                          vertexAt(pixel, size.width, size.height, toSdl(colors[3]), 0, 0)};
    if (m_batchOwner) flush();
    queue(nullptr, quad, 4, kQuadIndices, 6);
}

void CCSDLRenderer::drawTriangles(CCTexture2D* texture, const CCVertex* vertices, int vertexCount,
                                  const int* indices, int indexCount, const CCAffineTransform& transform) {
    if (m_recording) {
        note('T');
        note(texture);
        note(transform);
        note(static_cast<std::uint32_t>(vertexCount));
        for (int i = 0; vertices && i < vertexCount; ++i) {
            const CCVertex& v = vertices[i];
            for (float value : {v.position.x, v.position.y, v.u, v.v})
                note(value);
            note(v.color);
        }
        note(static_cast<std::uint32_t>(indices ? indexCount : 0));
        for (int i = 0; indices && i < indexCount; ++i)
            note(static_cast<std::uint32_t>(indices[i]));
        if (m_probing) return;
    }
    if (m_clipEmpty || !vertices || vertexCount <= 0) return;
    if (indices) {
        for (int i = 0; i < indexCount; ++i) {
            if (indices[i] < 0 || indices[i] >= vertexCount) {
                CCLog("CCSDLRenderer::drawTriangles: index %d out of range (%d vertices); mesh skipped",
                      indices[i], vertexCount);
                return;
            }
        }
    }
    SDL_Texture* sdlTexture = nullptr;
    if (texture) {
        sdlTexture = texture->sdlTexture(*this);
        if (!sdlTexture) return;
    }
    CCAffineTransform pixel = toPixels(transform);
    int count = indices ? indexCount : vertexCount;
    if (m_software && texture && fillTriangles(texture, vertices, indices, count, pixel)) return;
    if (m_batchOwner != texture || (!m_vertices.empty() && m_batchTexture != sdlTexture)) {
        flush();
        m_batchOwner = texture;
    }
    m_batchTexture = sdlTexture;
    // Straight into the batch: a mesh drawn every frame costs no allocation
    // once the batch has grown to hold it.
    auto converted = [&](int i) {
        const CCVertex& v = vertices[i];
        return vertexAt(pixel, v.position.x, v.position.y, toSdl(v.color), v.u, v.v);
    };
    if (!m_software) {
        int base = static_cast<int>(m_vertices.size());
        for (int i = 0; i < vertexCount; ++i)
            m_vertices.push_back(converted(i));
        for (int i = 0; i < count; ++i)
            m_indices.push_back(base + (indices ? indices[i] : i));
        return;
    }
    // SDL 2.26's software renderer takes two consecutive triangles that
    // share two indices for a quad, and loses some that are not: there each
    // triangle has vertices of its own. Large ones go out in pieces (see
    // drawTexturedQuad).
    float texW = texture ? static_cast<float>(texture->getPixelsWide()) : 0.0f;
    float texH = texture ? static_cast<float>(texture->getPixelsHigh()) : 0.0f;
    auto push = [this](const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c) {
        int base = static_cast<int>(m_vertices.size());
        for (const SDL_Vertex* v : {&a, &b, &c}) {
            m_vertices.push_back(*v);
            m_indices.push_back(base++);
        }
    };
    for (int i = 0; i + 2 < count; i += 3) {
        auto at = [&](int k) { return converted(indices ? indices[i + k] : i + k); };
        splitForSoftware(at(0), at(1), at(2), texW, texH, 0, push);
    }
}

bool CCSDLRenderer::copyOwn(CCTexture2D* texture, SDL_Texture* sdlTexture, const SDL_Rect& src,
                            const SDL_FRect& dst) {
    // Only what comes out as SDL's software copy would make it: untinted, in
    // a format SDL would copy word for word (opaque) or blend from ARGB8888
    // with its scaling blitter's arithmetic (see-through, scaled), wholly on
    // the screen, with no clip (SDL cuts a clipped copy's source in
    // proportion, which samples differently).
    if (!m_ownCopies || !m_software || !m_screenSurface || m_target.texture || !m_target.clips.empty())
        return false;
    SDL_Surface* screen = m_screenSurface();
    Uint32 format = 0;
    int access = 0, texW = 0, texH = 0;
    if (!screen || SDL_MUSTLOCK(screen) || screen->format->BytesPerPixel != 4 ||
        SDL_QueryTexture(sdlTexture, &format, &access, &texW, &texH) != 0 ||
        access != SDL_TEXTUREACCESS_STREAMING)
        return false;
    const int x0 = static_cast<int>(dst.x), y0 = static_cast<int>(dst.y);
    const int width = static_cast<int>(dst.w), height = static_cast<int>(dst.h);
    if (width <= 0 || height <= 0 || x0 < 0 || y0 < 0 || x0 + width > screen->w || y0 + height > screen->h ||
        src.w <= 0 || src.h <= 0 || src.x < 0 || src.y < 0 || src.x + src.w > texW || src.y + src.h > texH)
        return false;
    const Uint32 screenFormat = screen->format->format;
    const bool opaque = texture->isOpaque();
    if (opaque ? format != screenFormat
               : format != SDL_PIXELFORMAT_ARGB8888 || (src.w == width && src.h == height) ||
                     (screenFormat != SDL_PIXELFORMAT_ARGB8888 && screenFormat != SDL_PIXELFORMAT_RGB888))
        return false;
    SDL_Rect viewport;
    SDL_RenderGetViewport(m_renderer, &viewport);
    if (viewport.x != 0 || viewport.y != 0) return false;
    // What was queued before lands first.
    flush();
    SDL_RenderFlush(m_renderer);
    void* locked = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(sdlTexture, &src, &locked, &pitch) != 0) return false;
    // SDL's nearest sampling: 16.16 steps from the centre of the first
    // pixel. Where columns follow one another in the source for long runs
    // (scales near 1) the runs are copied whole; else pixel by pixel.
    const Uint32 stepX = (static_cast<Uint32>(src.w) << 16) / static_cast<Uint32>(width);
    const Uint32 stepY = (static_cast<Uint32>(src.h) << 16) / static_cast<Uint32>(height);
    m_copyRuns.clear();
    m_copyColumns.resize(static_cast<size_t>(width));
    Uint32 across = stepX / 2;
    for (int x = 0; x < width; ++x, across += stepX) {
        const int from = static_cast<int>(across >> 16);
        m_copyColumns[static_cast<size_t>(x)] = from;
        if (!m_copyRuns.empty() && m_copyRuns.back().from + m_copyRuns.back().length == from)
            ++m_copyRuns.back().length;
        else
            m_copyRuns.push_back({from, x, 1});
    }
    const bool byRuns = m_copyRuns.size() * 16 <= static_cast<size_t>(width);
    const int* columns = m_copyColumns.data();
    const auto* in = static_cast<const std::uint8_t*>(locked);
    auto* out = static_cast<std::uint8_t*>(screen->pixels) + static_cast<size_t>(y0) * screen->pitch +
                static_cast<size_t>(x0) * 4;
    Uint32 down = stepY / 2;
    int lastRow = -1;
    for (int y = 0; y < height; ++y, down += stepY, out += screen->pitch) {
        const int row = static_cast<int>(down >> 16);
        if (row == lastRow && opaque) {
            std::memcpy(out, out - screen->pitch, static_cast<size_t>(width) * 4);
            continue;
        }
        lastRow = row;
        const auto* texels = reinterpret_cast<const std::uint32_t*>(in + static_cast<size_t>(row) * pitch);
        auto* pixels = reinterpret_cast<std::uint32_t*>(out);
        if (!opaque) {
            blendRow(pixels, texels, columns, width, screenFormat == SDL_PIXELFORMAT_ARGB8888);
            continue;
        }
        if (byRuns) {
            for (const CopyRun& run : m_copyRuns)
                std::memcpy(pixels + run.to, texels + run.from, static_cast<size_t>(run.length) * 4);
            continue;
        }
        ccSampleRow(pixels, texels, columns, width);
    }
    SDL_UnlockTexture(sdlTexture);
    return true;
}

bool CCSDLRenderer::fillTriangles(CCTexture2D* texture, const CCVertex* vertices, const int* indices,
                                  int count, const CCAffineTransform& pixel) {
    // Only what a plain overwrite draws the same: an opaque texture, opaque
    // corners, the screen (a target's pixels are SDL's own). And only a
    // snapshot of a scene (the page curl's), which this fill is matched to;
    // opaque pictures keep SDL's mesh drawing.
    if (!m_ownTriangleFill || !m_screenSurface || m_target.texture || !texture->isOpaque() ||
        !texture->isRenderTarget())
        return false;
    for (int i = 0; i < count; ++i)
        if (vertices[indices ? indices[i] : i].color.a != 255) return false;
    ccPixels32 texels;
    if (!texelsOf(texture, texels)) return false;
    SDL_Surface* surface = m_screenSurface();
    if (!surface || SDL_MUSTLOCK(surface) || surface->format->BytesPerPixel != 4 ||
        (surface->format->format != SDL_PIXELFORMAT_ARGB8888 &&
         surface->format->format != SDL_PIXELFORMAT_RGB888))
        return false;
    // What was queued before lands first.
    flush();
    SDL_RenderFlush(m_renderer);
    ccPixels32 screen{static_cast<std::uint32_t*>(surface->pixels), surface->pitch / 4, surface->w,
                      surface->h};
    SDL_Rect clip{0, 0, surface->w, surface->h};
    SDL_Rect pushed;
    if (getClipPixels(pushed) && !SDL_IntersectRect(&pushed, &clip, &clip)) return true;
    auto converted = [&](int i) {
        const CCVertex& v = vertices[indices ? indices[i] : i];
        return vertexAt(pixel, v.position.x, v.position.y, toSdl(v.color), v.u, v.v);
    };
    // Whole triangles: the fill has no size limit, and cutting a sliver of
    // the bend into pieces would make it walk most of its rows again.
    for (int i = 0; i + 2 < count; i += 3)
        ccFillTexturedTriangle(screen, clip, texels, converted(i), converted(i + 1), converted(i + 2));
    countDraw(texture->sdlTexture(*this));
    ++m_stats.ownFills;
    return true;
}

bool CCSDLRenderer::texelsOf(CCTexture2D* texture, ccPixels32& out) {
    if (!texture->isRenderTarget()) {
        const SDL_Surface* surface = texture->getSurface();
        if (!surface || SDL_MUSTLOCK(surface) || surface->format->format != SDL_PIXELFORMAT_ARGB8888)
            return false;
        out = {static_cast<std::uint32_t*>(surface->pixels), surface->pitch / 4, surface->w, surface->h};
        return true;
    }
    CCTexture2D::PixelCopy& copy = texture->pixelCopy();
    const int wide = texture->getPixelsWide(), high = texture->getPixelsHigh();
    if (copy.contentId != texture->contentId()) {
        SDL_Texture* sdlTexture = texture->sdlTexture(*this);
        if (!sdlTexture) return false;
        copy.argb.resize(static_cast<size_t>(wide) * static_cast<size_t>(high));
        flush();
        bool read = SDL_SetRenderTarget(m_renderer, sdlTexture) == 0;
        SDL_RenderSetClipRect(m_renderer, nullptr);
        read = read && SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, copy.argb.data(),
                                            wide * 4) == 0;
        SDL_SetRenderTarget(m_renderer, m_target.texture ? m_target.texture->sdlTexture(*this) : nullptr);
        applyClip();
        if (!read) {
            CCLog("CCSDLRenderer: cannot read a render target's pixels back: %s; SDL fills its meshes",
                  SDL_GetError());
            copy.argb = {};
            return false;
        }
        copy.contentId = texture->contentId();
    }
    out = {copy.argb.data(), wide, wide, high};
    return true;
}

// --- clipping

void CCSDLRenderer::pushClipRect(const CCRect& worldRect) {
    if (m_recording) {
        note('P');
        note(worldRect);
        if (m_probing) return;
    }
    const CCScreenMapping& m = *m_mapping;
    CCPoint a = m.toPixel(worldRect.origin);
    CCPoint b = m.toPixel({worldRect.getMaxX(), worldRect.getMaxY()});
    // Pixels whose centres lie inside the rectangle. A layout may place a
    // panel billions of points away: clamped to a range far beyond any
    // target, an int holds each edge and their difference (a NaN edge is 0).
    auto pixel = [](float value) {
        constexpr float kFarthest = 1 << 24;
        return static_cast<int>(
            std::lround(std::clamp(std::isnan(value) ? 0.0f : value, -kFarthest, kFarthest)));
    };
    int left = pixel(std::min(a.x, b.x));
    int right = pixel(std::max(a.x, b.x));
    int top = pixel(std::min(a.y, b.y));
    int bottom = pixel(std::max(a.y, b.y));
    SDL_Rect rect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
    if (!m_target.clips.empty()) {
        SDL_Rect inter;
        if (!SDL_IntersectRect(&rect, &m_target.clips.back(), &inter)) inter = {0, 0, 0, 0};
        rect = inter;
    }
    flush();
    m_target.clips.push_back(rect);
    applyClip();
}

void CCSDLRenderer::popClipRect() {
    if (m_recording) {
        note('p');
        if (m_probing) return;
    }
    if (m_target.clips.empty()) {
        CCLog("CCSDLRenderer::popClipRect: no clip rectangle to pop");
        return;
    }
    flush();
    m_target.clips.pop_back();
    applyClip();
}

bool CCSDLRenderer::getClipPixels(SDL_Rect& out) const {
    if (m_target.clips.empty()) return false;
    out = m_target.clips.back();
    return true;
}

void CCSDLRenderer::applyClip() {
    if (m_target.clips.empty()) {
        m_clipEmpty = false;
        SDL_RenderSetClipRect(m_renderer, nullptr);
        return;
    }
    const SDL_Rect& rect = m_target.clips.back();
    // SDL reads an empty clip rectangle as no clipping at all: draw nothing instead.
    m_clipEmpty = rect.w <= 0 || rect.h <= 0;
    if (!m_clipEmpty) SDL_RenderSetClipRect(m_renderer, &rect);
}

// --- render targets

bool CCSDLRenderer::beginTarget(CCTexture2D* target) {
    if (!target || !target->isRenderTarget()) {
        CCLog("CCSDLRenderer::beginTarget: not a render target texture");
        return false;
    }
    if (m_recording) {
        // Drawing into a target gives it new pixels: a frame that does so
        // never compares equal to the one before.
        note('B');
        note(target);
        if (m_probing) return true;
    }
    target->contentChanged();
    SDL_Texture* sdlTexture = target->sdlTexture(*this);
    if (!sdlTexture) return false;
    flush();
    if (SDL_SetRenderTarget(m_renderer, sdlTexture) != 0) {
        CCLog("CCSDLRenderer::beginTarget: SDL cannot draw into a texture: %s", SDL_GetError());
        SDL_SetRenderTarget(m_renderer, m_target.texture ? m_target.texture->sdlTexture(*this) : nullptr);
        return false;
    }
    m_savedTargets.push_back(std::move(m_target));
    m_target = TargetState();
    m_target.texture = target;
    const CCSize& points = target->getContentSize();
    m_target.mapping.scaleX = points.width > 0 ? target->getPixelsWide() / points.width : 1.0f;
    m_target.mapping.scaleY = points.height > 0 ? target->getPixelsHigh() / points.height : 1.0f;
    m_target.mapping.designHeight = points.height;
    m_mapping = &m_target.mapping;
    applyClip();
    return true;
}

void CCSDLRenderer::endTarget() {
    if (m_recording) {
        note('E');
        if (m_probing) return;
    }
    if (m_savedTargets.empty()) {
        CCLog("CCSDLRenderer::endTarget: no render target to end");
        return;
    }
    flush();
    // Kept until the screen or the outer target is drawn into again.
    CCRef<CCTexture2D> finished = std::move(m_target.texture);
    m_target = std::move(m_savedTargets.back());
    m_savedTargets.pop_back();
    m_mapping = m_target.texture ? &m_target.mapping : &m_screen;
    SDL_SetRenderTarget(m_renderer, m_target.texture ? m_target.texture->sdlTexture(*this) : nullptr);
    applyClip();
}

bool CCSDLRenderer::readPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    flush();
    if (m_target.texture) {
        width = m_target.texture->getPixelsWide();
        height = m_target.texture->getPixelsHigh();
    } else if (SDL_GetRendererOutputSize(m_renderer, &width, &height) != 0) {
        CCLog("CCSDLRenderer::readPixels: no output size: %s", SDL_GetError());
        return false;
    }
    argb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    // SDL reads within the clip rectangle only on some renderers: read it all.
    SDL_RenderSetClipRect(m_renderer, nullptr);
    int result = SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), width * 4);
    applyClip();
    if (result != 0) {
        CCLog("CCSDLRenderer::readPixels: %s", SDL_GetError());
        return false;
    }
    return true;
}

} // namespace engine
