#include "engine/transitions/CCTransitionPageTurn.h"

#include "engine/director/CCDirector.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

namespace engine {

CCTransitionPageTurn* CCTransitionPageTurn::create(float duration, CCScene* scene, bool backwards) {
    auto* transition = new CCTransitionPageTurn();
    if (!transition->initWithDuration(duration, scene, backwards)) {
        delete transition;
        return nullptr;
    }
    transition->autorelease();
    return transition;
}

bool CCTransitionPageTurn::initWithDuration(float duration, CCScene* scene, bool backwards) {
    if (!CCTransitionScene::initWithDuration(duration, scene)) return false;
    m_backwards = backwards;
    m_curl = std::make_unique<PageCurlMesh>(CCDirector::sharedDirector()->getWinSize(), kColumns, kRows);
    return true;
}

bool CCTransitionPageTurn::takeSnapshots(CCSDLRenderer& renderer) {
    if (m_outTexture && m_inTexture && m_snapshotGeneration == renderer.generation()) return true;
    // Tried and failed with this renderer: its failure was logged once.
    if (m_failedGeneration == renderer.generation()) return false;
    m_outTexture = nullptr;
    m_inTexture = nullptr;
    if (!snapshot(m_outScene, m_outTexture) || !snapshot(m_inScene, m_inTexture)) {
        m_failedGeneration = renderer.generation();
        return false;
    }
    // Whole scenes over an opaque clear: nothing shows through them, and
    // copies without blending are far cheaper on the software renderer.
    m_outTexture->setOpaque(true);
    m_inTexture->setOpaque(true);
    m_snapshotGeneration = renderer.generation();
    return true;
}

void CCTransitionPageTurn::drawFlatRect(CCSDLRenderer& renderer, CCTexture2D* page, const CCRect& rect) {
    const CCSize& points = page->getContentSize();
    float toPixelsX = page->getPixelsWide() / points.width, toPixelsY = page->getPixelsHigh() / points.height;
    // Texture rows run down from the page's top.
    CCRect texRect(rect.getMinX() * toPixelsX, (points.height - rect.getMaxY()) * toPixelsY,
                   rect.size.width * toPixelsX, rect.size.height * toPixelsY);
    renderer.drawTexturedQuad(page, texRect, rect.size,
                              CCAffineTransformTranslate(m_worldTransform, rect.getMinX(), rect.getMinY()),
                              {255, 255, 255, 255});
}

void CCTransitionPageTurn::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    if (!takeSnapshots(*renderer)) {
        // Without render targets the turn cannot be drawn; show where it leads.
        (getProgress() < 0.5f ? m_outScene : m_inScene)->visit();
        return;
    }
    // Forwards the outgoing page turns away from the incoming one beneath;
    // backwards the incoming page turns back onto the outgoing one.
    CCTexture2D* below = m_backwards ? m_outTexture.get() : m_inTexture.get();
    CCTexture2D* page = m_backwards ? m_inTexture.get() : m_outTexture.get();
    float progress = m_backwards ? 1.0f - getProgress() : getProgress();
    m_curl->update(progress, CCDirector::sharedDirector()->isDepthTest());
    drawFlatRect(*renderer, below,
                 CCRect(0, 0, below->getContentSize().width, below->getContentSize().height));
    for (const CCRect& rect : m_curl->flatRects())
        drawFlatRect(*renderer, page, rect);
    const auto& vertices = m_curl->vertices();
    const auto& indices = m_curl->indices();
    renderer->drawTriangles(page, vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                            static_cast<int>(indices.size()), m_worldTransform);
}

} // namespace engine
