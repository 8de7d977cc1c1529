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
    flatGrid(kColumns, kRows, m_flatVertices, m_flatIndices);
    return true;
}

void CCTransitionPageTurn::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    CCTexture2D* out = snapshot(m_outScene, m_outTexture);
    CCTexture2D* in = snapshot(m_inScene, m_inTexture);
    if (!out || !in) {
        // Without render targets the turn cannot be drawn; show where it leads.
        (getProgress() < 0.5f ? m_outScene : m_inScene)->visit();
        return;
    }
    // Forwards the outgoing page turns away from the incoming one beneath;
    // backwards the incoming page turns back onto the outgoing one.
    CCTexture2D* below = m_backwards ? out : in;
    CCTexture2D* page = m_backwards ? in : out;
    float progress = m_backwards ? 1.0f - getProgress() : getProgress();
    m_curl->update(progress, CCDirector::sharedDirector()->isDepthTest());
    renderer->drawTriangles(below, m_flatVertices.data(), static_cast<int>(m_flatVertices.size()),
                            m_flatIndices.data(), static_cast<int>(m_flatIndices.size()), m_worldTransform);
    const auto& vertices = m_curl->vertices();
    const auto& indices = m_curl->indices();
    renderer->drawTriangles(page, vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                            static_cast<int>(indices.size()), m_worldTransform);
}

} // namespace engine
