#include "engine/transitions/CCTransitionPageTurn.h"

#include "engine/director/CCDirector.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

#include <utility>

namespace engine {

CCTransitionPageTurn* CCTransitionPageTurn::create(float duration, CCScene* scene, bool backwards) {
    auto* transition = new CCTransitionPageTurn();
    return autoreleasedIf(transition->initWithDuration(duration, scene, backwards), transition);
}

bool CCTransitionPageTurn::initWithDuration(float duration, CCScene* scene, bool backwards) {
    if (!CCTransitionScene::initWithDuration(duration, scene)) return false;
    m_backwards = backwards;
    m_curl = std::make_unique<PageCurlMesh>(CCDirector::sharedDirector()->getWinSize(), kColumns, kRows);
    return true;
}

bool CCTransitionPageTurn::takeSnapshots(CCSDLRenderer& renderer, bool incoming) {
    // Tried and failed with this renderer: its failure was logged once.
    if (m_failedGeneration == renderer.generation()) return false;
    if (m_snapshotGeneration != renderer.generation()) {
        // Targets of an earlier renderer are no use to this one.
        m_outTexture = nullptr;
        m_inTexture = nullptr;
        m_snapshotGeneration = renderer.generation();
    }
    for (auto [scene, texture] :
         {std::pair{m_outScene.get(), &m_outTexture}, std::pair{m_inScene.get(), &m_inTexture}}) {
        if (*texture || (texture == &m_inTexture && !incoming)) continue;
        if (!snapshot(scene, *texture)) {
            m_failedGeneration = renderer.generation();
            return false;
        }
        // A whole scene over an opaque clear: nothing shows through it, and
        // copies without blending are far cheaper on the software renderer.
        (*texture)->setOpaque(true);
    }
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
    // At the very start the outgoing page covers the whole frame, forwards
    // (flat, about to lift) and backwards (the incoming page lies past the
    // left edge): it is all there is to draw.
    // The frame that draws the incoming page into its texture shows the
    // outgoing page flat as well: the page is not drawn from in the frame it
    // is drawn into, which leaves that frame a page's work rather than a
    // page's and the curl's, and lets an accelerated renderer finish the
    // texture while the frame is shown. The curl starts a frame later, at
    // the progress that frame has (unless the turn ends in this frame).
    const float progress = getProgress();
    const bool start = progress <= 0.0f || (!m_inTexture && progress < 1.0f);
    if (!takeSnapshots(*renderer, progress > 0.0f)) {
        // Without render targets the turn cannot be drawn; show where it leads.
        (progress < 0.5f ? m_outScene : m_inScene)->visit();
        return;
    }
    if (start) {
        const CCSize& size = m_outTexture->getContentSize();
        drawFlatRect(*renderer, m_outTexture.get(), CCRect(0, 0, size.width, size.height));
        return;
    }
    // Forwards the outgoing page turns away from the incoming one beneath;
    // backwards the incoming page turns back onto the outgoing one.
    CCTexture2D* below = m_backwards ? m_outTexture.get() : m_inTexture.get();
    CCTexture2D* page = m_backwards ? m_inTexture.get() : m_outTexture.get();
    m_curl->update(m_backwards ? 1.0f - progress : progress, CCDirector::sharedDirector()->isDepthTest());
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
