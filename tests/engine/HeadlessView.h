#pragma once
// A headless view on SDL's software renderer, a fresh director, and helpers
// to draw a scene and look at its pixels.
#include "engine/base/CCObject.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTextureCache.h"
#include "support/TestSupport.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace rendertest {

struct Rgba {
    int r, g, b, a;
};

inline Rgba unpack(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xff), static_cast<int>((argb >> 8) & 0xff),
            static_cast<int>(argb & 0xff), static_cast<int>(argb >> 24)};
}

inline bool near(const Rgba& c, int r, int g, int b, int tolerance = 3) {
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

inline ::testing::AssertionResult isColour(const Rgba& c, int r, int g, int b, int tolerance = 3) {
    if (near(c, r, g, b, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is (" << c.r << ", " << c.g << ", " << c.b
                                         << "), expected (" << r << ", " << g << ", " << b << ")";
}

// A PNG of `w` x `h` pixels: left half `left`, right half `right` (0xAARRGGBB).
inline std::string writePng(const testsupport::TempDir& dir, const std::string& name, int w, int h,
                            std::uint32_t left, std::uint32_t right) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Rect leftHalf{0, 0, w / 2, h}, rightHalf{w / 2, 0, w - w / 2, h};
    SDL_FillRect(surface, &leftHalf, left);
    SDL_FillRect(surface, &rightHalf, right);
    std::string path = dir.write(name, ""); // makes the folders
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

class HeadlessViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::CCFileUtils::sharedFileUtils()->setResourceRoot(m_dir.path());
        openView(640, 960);
        m_liveAtStart = engine::CCObject::liveObjectCount();
    }

    void TearDown() override {
        director()->reset();
        view()->close();
        engine::CCTextureCache::sharedTextureCache()->removeAllTextures();
        engine::CCFileUtils::sharedFileUtils()->setResourceRoot(m_savedRoot);
        EXPECT_EQ(engine::CCObject::liveObjectCount(), m_liveAtStart) << "engine objects leaked";
    }

    void openView(float frameWidth, float frameHeight) {
        view()->close();
        view()->setHeadless(true);
        view()->setFullscreen(false);
        view()->setFrameSize(frameWidth, frameHeight);
        view()->setDesignResolutionSize(640, 960, engine::kResolutionExactFit);
        ASSERT_TRUE(view()->open());
        director()->reset();
        director()->setOpenGLView(view());
    }

    static engine::CCEGLView* view() { return engine::CCEGLView::sharedOpenGLView(); }
    static engine::CCDirector* director() { return engine::CCDirector::sharedDirector(); }
    static engine::CCSDLRenderer* renderer() { return view()->getRenderer(); }

    // Runs a scene holding `content` and draws one frame.
    void show(engine::CCNode* content) {
        engine::CCScene* scene = engine::CCScene::create();
        scene->addChild(content);
        director()->runWithScene(scene);
        drawFrame();
    }

    void drawFrame() {
        director()->stepFrame(1 / 60.f);
        ASSERT_TRUE(view()->readPixels(m_pixels, m_width, m_height));
    }

    // The colour of the frame's pixel under a design point.
    Rgba at(float designX, float designY) const {
        engine::CCPoint pixel = view()->getScreenMapping().toPixel({designX, designY});
        return pixelAt(static_cast<int>(pixel.x), static_cast<int>(pixel.y));
    }
    Rgba pixelAt(int x, int y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {-1, -1, -1, -1};
        return unpack(m_pixels[static_cast<size_t>(y) * m_width + x]);
    }

    // Image files for the test live in a temporary resource root.
    testsupport::TempDir m_dir;
    std::vector<std::uint32_t> m_pixels;
    int m_width = 0, m_height = 0;

  private:
    long m_liveAtStart = 0;
    std::string m_savedRoot = engine::CCFileUtils::sharedFileUtils()->getResourceRoot();
};

} // namespace rendertest
