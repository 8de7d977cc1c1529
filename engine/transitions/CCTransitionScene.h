#pragma once
// A scene that leads from the running scene to a new one over a duration.
//
// Handed to CCDirector::replaceScene like any scene. When it starts, the
// outgoing scene gets onExitTransitionDidStart and the incoming one onEnter;
// touches are off. When the time is up the transition hands the director the
// incoming scene (replaceScene); then the outgoing scene gets onExit, the
// incoming one onEnterTransitionDidFinish, touches come back on, and the
// outgoing scene is released. A transition of zero length finishes at the
// next frame. A transition cut short by another scene leaves both its
// scenes (each gets its exit calls).
//
// The scenes are not children: the transition draws them itself. This base
// draws the outgoing scene and the incoming one on top; kinds override draw().
#include "engine/base/CCObject.h"
#include "engine/nodes/CCScene.h"
#include "engine/render/CCVertex.h"

#include <vector>

namespace engine {

class CCTexture2D;

// Which way a transition moves; the pairs share values.
enum tOrientation {
    kCCTransitionOrientationLeftOver = 0,
    kCCTransitionOrientationRightOver = 1,
    kCCTransitionOrientationUpOver = 0,
    kCCTransitionOrientationDownOver = 1,
};

class CCTransitionScene : public CCScene {
public:
    ~CCTransitionScene() override;
    static CCTransitionScene* create(float duration, CCScene* scene);
    // False (logged) without an incoming scene, or when it is already running.
    virtual bool initWithDuration(float duration, CCScene* scene);

    bool isTransition() const override { return true; }
    void onEnter() override;
    void onExit() override;
    void cleanup() override;
    void draw() override;

    // Ends the transition: the director gets the incoming scene. Called by
    // the transition itself when its time is up; does nothing once done, or
    // when the transition is no longer the running scene.
    void finish();

    float getDuration() const { return m_duration; }
    // From 0 at the start to 1 at the end.
    float getProgress() const;
    CCScene* getInScene() const { return m_inScene.get(); }
    CCScene* getOutScene() const { return m_outScene.get(); }

protected:
    CCTransitionScene() = default;
    void step(float dt);

    // Draws `scene` into `target` (made on first use, the size of the window
    // in pixels) and answers it; null without a renderer.
    CCTexture2D* snapshot(CCScene* scene, CCRef<CCTexture2D>& target);
    // A flat grid of `columns` x `rows` cells covering the window and showing
    // a whole snapshot; small cells keep every triangle within what SDL's
    // software renderer draws reliably.
    static void flatGrid(int columns, int rows, std::vector<CCVertex>& vertices, std::vector<int>& indices);

    // In this order so that the incoming scene is released first.
    CCRef<CCScene> m_outScene;
    CCRef<CCScene> m_inScene;
    float m_duration = 0.0f;
    float m_elapsed = 0.0f;
    bool m_finished = false;
};

} // namespace engine
