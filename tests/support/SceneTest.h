#pragma once
// The fixture of tests that draw: a headless view opened for each test (see
// HeadlessView), and the check that the test left no engine object behind.
// Shorthands for the engine's shared objects and the view's frame keep
// the tests of engine drawing short.
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/render/CCSDLRenderer.h"
#include "support/HeadlessView.h"
#include "support/LeakCheck.h"

#include <gtest/gtest.h>

namespace testsupport {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.isOpen());
        leaks.start();
    }

    static engine::CCEGLView* view() { return engine::CCEGLView::sharedOpenGLView(); }
    static engine::CCDirector* director() { return engine::CCDirector::sharedDirector(); }
    static engine::CCSDLRenderer* renderer() { return view()->getRenderer(); }

    // Opens the view anew at another frame size (the design stays 640 x 960).
    void openView(float frameWidth, float frameHeight) { ASSERT_TRUE(screen.open(frameWidth, frameHeight)); }
    // Runs a new scene holding `content` and draws one frame.
    void show(engine::CCNode* content) {
        screen.show(content);
        ASSERT_FALSE(screen.pixels().empty()) << "the frame was not read back";
    }
    // Draws one frame of `dt` seconds and reads it back.
    void drawFrame(float dt = 1.0f / 60.0f) {
        ASSERT_TRUE(screen.step(1, dt)) << "the frame was not read back";
    }
    // The resource root, where the test's files go.
    const TempDir& resources() const { return screen.resources(); }
    Pixel at(float designX, float designY) const { return screen.at(designX, designY); }
    Pixel pixelAt(int x, int y) const { return screen.pixelAt(x, y); }

    HeadlessView screen;
    // Declared after the view, so it counts before the view closes.
    LeakCheck leaks{&HeadlessView::settledObjectCount};
};

} // namespace testsupport
