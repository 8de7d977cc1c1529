#include "engine/transitions/CCTransitionZoomFlipY.h"

#include "engine/director/CCDirector.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

#include <cmath>

namespace engine {

namespace {
constexpr float kPi = 3.14159265358979f;
// Half size when edge-on.
constexpr float kSmallestZoom = 0.5f;
// Distance of the eye in scene heights.
constexpr float kEyeDistance = 2.0f;
} // namespace

CCTransitionZoomFlipY* CCTransitionZoomFlipY::create(float duration, CCScene* scene) {
    return create(duration, scene, kCCTransitionOrientationUpOver);
}

CCTransitionZoomFlipY* CCTransitionZoomFlipY::create(float duration, CCScene* scene,
                                                     tOrientation orientation) {
    auto* transition = new CCTransitionZoomFlipY();
    return autoreleasedIf(transition->initWithDuration(duration, scene, orientation), transition);
}

bool CCTransitionZoomFlipY::initWithDuration(float duration, CCScene* scene, tOrientation orientation) {
    if (!CCTransitionScene::initWithDuration(duration, scene)) return false;
    m_orientation = orientation;
    flatGrid(kColumns, kRows, m_vertices, m_indices);
    m_turned.reserve(m_vertices.size());
    return true;
}

CCTexture2D* CCTransitionZoomFlipY::sideTexture(bool incoming, CCSDLRenderer& renderer) {
    CCRef<CCTexture2D>& texture = incoming ? m_inTexture : m_outTexture;
    unsigned int& generation = incoming ? m_inGeneration : m_outGeneration;
    if (texture && generation == renderer.generation()) return texture.get();
    texture = nullptr; // a target of an earlier renderer is no use to this one
    if (!snapshot((incoming ? m_inScene : m_outScene).get(), texture)) return nullptr;
    generation = renderer.generation();
    return texture.get();
}

CCTransitionZoomFlipY::Pose CCTransitionZoomFlipY::poseAt(float progress) const {
    Pose pose;
    float sign = m_orientation == kCCTransitionOrientationUpOver ? 1.0f : -1.0f;
    if (progress < 0.5f) {
        float half = progress / 0.5f;
        pose.degrees = sign * 90.0f * half;
        pose.zoom = 1.0f - (1.0f - kSmallestZoom) * half;
    } else {
        // The incoming scene is the card's other side: it carries on the same turn.
        float half = (progress - 0.5f) / 0.5f;
        pose.incoming = true;
        pose.degrees = -sign * 90.0f * (1.0f - half);
        pose.zoom = kSmallestZoom + (1.0f - kSmallestZoom) * half;
    }
    return pose;
}

void CCTransitionZoomFlipY::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    Pose pose = poseAt(getProgress());
    CCTexture2D* texture = sideTexture(pose.incoming, *renderer);
    if (!texture) {
        (pose.incoming ? m_inScene : m_outScene)->visit();
        return;
    }
    CCSize size = CCDirector::sharedDirector()->getWinSize();
    CCPoint centre(size.width / 2.0f, size.height / 2.0f);
    float radians = pose.degrees * kPi / 180.0f;
    float eye = kEyeDistance * size.height;
    // Each grid point turns about the horizontal axis through the centre;
    // positive angles take the upper half away from the viewer.
    m_turned = m_vertices;
    for (CCVertex& v : m_turned) {
        float y = v.position.y - centre.y;
        float depth = -y * std::sin(radians);
        float perspective = eye / (eye - depth);
        float scale = pose.zoom * perspective;
        v.position = {centre.x + (v.position.x - centre.x) * scale, centre.y + y * std::cos(radians) * scale};
    }
    renderer->drawTriangles(texture, m_turned.data(), static_cast<int>(m_turned.size()), m_indices.data(),
                            static_cast<int>(m_indices.size()), m_worldTransform);
}

} // namespace engine
