#include "engine/nodes/CCRenderTexture.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

#include <cmath>

namespace engine {

namespace {
ccColor4B toBytes(float r, float g, float b, float a) {
    return ccc4BFromccc4F({r, g, b, a});
}
} // namespace

CCRenderTexture::CCRenderTexture() = default;

CCRenderTexture::~CCRenderTexture() {
    if (m_drawing) end();
}

CCRenderTexture* CCRenderTexture::create(int width, int height) {
    auto* node = new CCRenderTexture();
    return autoreleasedIf(node->initWithWidthAndHeight(width, height), node);
}

bool CCRenderTexture::initWithWidthAndHeight(int width, int height) {
    if (!init()) return false;
    float scaleX = 1.0f, scaleY = 1.0f;
    if (CCSDLRenderer* renderer = CCSDLRenderer::current()) {
        scaleX = renderer->getScreenMapping().scaleX;
        scaleY = renderer->getScreenMapping().scaleY;
    }
    int pixelsWide = static_cast<int>(std::ceil(width * scaleX - 0.001f));
    int pixelsHigh = static_cast<int>(std::ceil(height * scaleY - 0.001f));
    CCSize points(static_cast<float>(width), static_cast<float>(height));
    m_texture = CCTexture2D::createRenderTarget(pixelsWide, pixelsHigh, points);
    if (!m_texture) return false;
    m_sprite = CCSprite::createWithTexture(m_texture.get());
    addChild(m_sprite);
    return true;
}

void CCRenderTexture::begin() {
    if (m_drawing) {
        CCLog("CCRenderTexture::begin: already drawing into this texture");
        return;
    }
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) {
        CCLog("CCRenderTexture::begin: no renderer (the view is not open)");
        return;
    }
    m_drawing = renderer->beginTarget(m_texture.get());
}

void CCRenderTexture::beginWithClear(float r, float g, float b, float a) {
    begin();
    if (m_drawing) CCSDLRenderer::current()->clear(toBytes(r, g, b, a));
}

void CCRenderTexture::end() {
    if (!m_drawing) return;
    m_drawing = false;
    if (CCSDLRenderer* renderer = CCSDLRenderer::current()) renderer->endTarget();
}

void CCRenderTexture::clear(float r, float g, float b, float a) {
    beginWithClear(r, g, b, a);
    end();
}

bool CCRenderTexture::readPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    bool wasDrawing = m_drawing;
    if (!wasDrawing) begin();
    if (!m_drawing) return false;
    bool ok = CCSDLRenderer::current()->readPixels(argb, width, height);
    if (!wasDrawing) end();
    return ok;
}

} // namespace engine
