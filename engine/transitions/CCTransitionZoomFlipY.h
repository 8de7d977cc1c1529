#pragma once
// A flip about the horizontal axis with a zoom: in the first half the
// outgoing scene turns away edge-on while shrinking to half size, in the
// second half the incoming scene turns in from edge-on while growing back.
// The scenes are seen in perspective, so the edge that turns away narrows.
//
// Up-over turns the outgoing scene's upper edge away from the viewer first;
// down-over its lower edge. Outside the turning scene the frame is black.
//
// Each scene is drawn into a texture once, when its half begins (again only
// for a renderer made anew), and the frames turn that texture.
#include "engine/transitions/CCTransitionScene.h"

namespace engine {

class CCSDLRenderer;

class CCTransitionZoomFlipY : public CCTransitionScene {
public:
    static CCTransitionZoomFlipY* create(float duration, CCScene* scene);
    static CCTransitionZoomFlipY* create(float duration, CCScene* scene, tOrientation orientation);
    bool initWithDuration(float duration, CCScene* scene, tOrientation orientation);
    using CCTransitionScene::initWithDuration;

    tOrientation getOrientation() const { return m_orientation; }
    void draw() override;

    // The scene shown at a progress, its turn (degrees, 0 = facing the
    // viewer, positive = upper edge away) and its zoom.
    struct Pose {
        bool incoming = false;
        float degrees = 0.0f;
        float zoom = 1.0f;
    };
    Pose poseAt(float progress) const;

    static constexpr int kColumns = 8;
    static constexpr int kRows = 12;

private:
    CCTransitionZoomFlipY() = default;
    // The texture of one side, drawn when first asked for; none without render targets.
    CCTexture2D* sideTexture(bool incoming, CCSDLRenderer& renderer);

    tOrientation m_orientation = kCCTransitionOrientationUpOver;
    CCRef<CCTexture2D> m_outTexture, m_inTexture;
    unsigned int m_outGeneration = 0, m_inGeneration = 0;
    std::vector<CCVertex> m_vertices;
    std::vector<CCVertex> m_turned; // this frame's, in room kept from the first
    std::vector<int> m_indices;
};

} // namespace engine
