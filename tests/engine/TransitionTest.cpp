// Transitions: the enter and exit calls of the scenes they join, their end,
// touches meanwhile, and what the page turn and the zoom-flip draw.
#include "support/SceneTest.h"

#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTexture2D.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "engine/transitions/CCTransitionZoomFlipY.h"
#include "engine/transitions/PageCurlMesh.h"
#include "support/RecordingScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace engine;
using testsupport::isColour;
using testsupport::Pixel;

namespace {

std::vector<std::string>& g_calls = testsupport::sceneJournal();
using testsupport::RecordingScene;

// A layer that counts the touches it gets.
class CountingLayer : public CCLayer {
public:
    static CountingLayer* create() {
        auto* layer = new CountingLayer();
        layer->init();
        layer->setTouchEnabled(true);
        layer->autorelease();
        return layer;
    }
    void ccTouchesBegan(CCSet*, CCEvent*) override { ++began; }
    int began = 0;
};

const ccColor4B kRed = ccc4(255, 0, 0, 255);
const ccColor4B kBlue = ccc4(0, 0, 255, 255);

class TransitionTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        g_calls.clear();
        director()->setDepthTest(true);
    }
    void TearDown() override {
        director()->setDepthTest(false);
        SceneTest::TearDown();
    }

    // Runs scene "a" (red) and clears the record.
    void runRed() {
        director()->runWithScene(RecordingScene::create("a", kRed));
        drawFrame(0.05f);
        g_calls.clear();
    }
    static bool isRed(const Pixel& c) { return testsupport::near(c, 255, 0, 0); }
    static bool isBlue(const Pixel& c) { return testsupport::near(c, 0, 0, 255); }
    // A red or blue page's back: the same hue, shaded.
    static bool isShaded(const Pixel& c) {
        int top = std::max(c.r, c.b);
        return c.g < 4 && std::min(c.r, c.b) < 4 && top > 60 && top < 235;
    }
};

} // namespace

TEST_F(TransitionTest, EnterAndExitCallsComeAtTheStartAndTheEnd) {
    runRed();
    long liveBefore = CCObject::liveObjectCount();
    auto* b = RecordingScene::create("b", kBlue);
    CCTransitionPageTurn* turn = CCTransitionPageTurn::create(0.5f, b, false);
    ASSERT_NE(turn, nullptr);
    director()->replaceScene(turn);
    drawFrame(0.05f);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExitTransitionDidStart", "b.onEnter"}));
    EXPECT_EQ(director()->getRunningScene(), turn);
    EXPECT_TRUE(b->isRunning());

    g_calls.clear();
    for (int frame = 0; frame < 9; ++frame)
        drawFrame(0.05f);
    EXPECT_TRUE(g_calls.empty()) << "nothing more until the time is up";
    EXPECT_EQ(director()->getRunningScene(), turn);

    drawFrame(0.05f); // 0.5 s
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExit", "a.cleanup", "b.onEnterTransitionDidFinish",
                                                 "a.deleted"}));
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_TRUE(isColour(at(320, 480), 0, 0, 255));
    // The old scene and the transition are gone: only b's layer is new.
    EXPECT_EQ(CCObject::liveObjectCount(), liveBefore);
}

TEST_F(TransitionTest, TouchesAreOffMeanwhile) {
    runRed();
    auto* b = RecordingScene::create("b", kBlue);
    CountingLayer* layer = CountingLayer::create();
    b->addChild(layer);
    CCTouchDispatcher* touches = director()->getTouchDispatcher();
    director()->replaceScene(CCTransitionZoomFlipY::create(0.2f, b, kCCTransitionOrientationDownOver));
    drawFrame(0.05f);
    EXPECT_FALSE(touches->isDispatchEvents());
    touches->touchBegan(0, ccp(320, 480));
    touches->touchEnded(0, ccp(320, 480));
    EXPECT_EQ(layer->began, 0);
    for (int frame = 0; frame < 4; ++frame)
        drawFrame(0.05f);
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_TRUE(touches->isDispatchEvents());
    touches->touchBegan(0, ccp(320, 480));
    touches->touchEnded(0, ccp(320, 480));
    EXPECT_EQ(layer->began, 1);
}

TEST_F(TransitionTest, ZeroLengthTransitionEndsAtTheNextFrame) {
    runRed();
    auto* b = RecordingScene::create("b", kBlue);
    director()->replaceScene(CCTransitionZoomFlipY::create(0.0f, b, kCCTransitionOrientationDownOver));
    drawFrame(1 / 60.f);
    EXPECT_NE(director()->getRunningScene(), b);
    EXPECT_TRUE(isColour(at(320, 480), 0, 0, 255)) << "a finished flip shows the new scene";
    drawFrame(1 / 60.f);
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExitTransitionDidStart", "b.onEnter", "a.onExit",
                                                 "a.cleanup", "b.onEnterTransitionDidFinish", "a.deleted"}));
    EXPECT_TRUE(director()->getTouchDispatcher()->isDispatchEvents());
}

TEST_F(TransitionTest, TransitionCutShortLeavesBothItsScenes) {
    runRed();
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, RecordingScene::create("b", kBlue), true));
    drawFrame(0.05f);
    auto* c = RecordingScene::create("c", ccc4(0, 0, 0, 255));
    director()->replaceScene(c);
    g_calls.clear();
    drawFrame(0.05f);
    auto has = [](const std::string& call) {
        return std::find(g_calls.begin(), g_calls.end(), call) != g_calls.end();
    };
    EXPECT_TRUE(has("a.onExit") && has("a.deleted"));
    EXPECT_TRUE(has("b.onExitTransitionDidStart") && has("b.onExit") && has("b.deleted"));
    EXPECT_FALSE(has("b.onEnterTransitionDidFinish"));
    EXPECT_TRUE(has("c.onEnter") && has("c.onEnterTransitionDidFinish"));
    EXPECT_EQ(director()->getRunningScene(), c);
    EXPECT_TRUE(director()->getTouchDispatcher()->isDispatchEvents());
    // Its timer is gone with it: later frames change nothing.
    g_calls.clear();
    for (int frame = 0; frame < 12; ++frame)
        drawFrame(0.05f);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(TransitionTest, TransitionToTheRunningSceneOrToNoneIsRefused) {
    runRed();
    testsupport::LogCapture log;
    EXPECT_EQ(CCTransitionPageTurn::create(0.5f, nullptr, false), nullptr);
    EXPECT_EQ(CCTransitionZoomFlipY::create(0.5f, director()->getRunningScene()), nullptr);
    EXPECT_EQ(log.count("CCTransitionScene"), 2);
}

TEST_F(TransitionTest, PageCurlMidwayShowsBothScenesAndTheShadedBack) {
    runRed();
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, RecordingScene::create("b", kBlue), false));
    drawFrame(0.05f);
    EXPECT_EQ(screen.count(isRed), screen.width() * screen.height())
        << "at the start only the old page shows";
    drawFrame(0.05f);
    EXPECT_EQ(screen.count(isRed), screen.width() * screen.height())
        << "the frame that draws the new page into its texture shows the old one flat";
    for (int frame = 0; frame < 4; ++frame)
        drawFrame(0.05f); // halfway
    ASSERT_TRUE(view()->saveFrame(std::string(LIRRA_BINARY_DIR) + "/page_curl_forwards.png"));

    // The lower right corner lifts first: the new page shows there, the old
    // one still lies flat at the upper left.
    EXPECT_TRUE(isColour(at(620, 20), 0, 0, 255));
    EXPECT_TRUE(isColour(at(20, 940), 255, 0, 0));
    int red = screen.count(isRed), blue = screen.count(isBlue), shaded = screen.count(isShaded);
    EXPECT_GT(blue, screen.width() * screen.height() / 10);
    EXPECT_GT(red, screen.width() * screen.height() / 40);
    EXPECT_GT(shaded, screen.width() * screen.height() / 20) << "the turned-over back of the old page";

    // Where the maths puts a point of the page's back, its shaded colour lies
    // on top of the flat page.
    PageCurlMesh curl(CCSize(640, 960), CCTransitionPageTurn::kColumns, CCTransitionPageTurn::kRows);
    curl.update(0.5f, true);
    PageCurlMesh::Placement back = curl.place(ccp(600, 480));
    ASSERT_TRUE(back.back);
    ASSERT_GT(back.position.x, 10);
    Pixel seen = at(back.position.x, back.position.y);
    EXPECT_TRUE(isColour(seen, static_cast<int>(255 * back.brightness), 0, 0, 4));
}

namespace {

// A node that counts how often it is drawn.
class DrawCounter : public CCNode {
public:
    static DrawCounter* create() {
        auto* node = new DrawCounter();
        node->autorelease();
        return node;
    }
    void draw() override { ++draws; }
    int draws = 0;
};

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (declared here: GCC ships no header for them).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
long g_allocations = 0;
bool g_countAllocations = false;
void countAllocation(const volatile void*, size_t) {
    if (g_countAllocations) ++g_allocations;
}
void ignoreFree(const volatile void*) {}
#endif

// Steps `frames` frames of 0.05 s; answers how many allocations they made,
// or none where the sanitizer's hooks that count them are missing.
std::optional<long> allocationsOver(int frames) {
#if defined(__SANITIZE_ADDRESS__)
    static bool hooked = __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreFree) != 0;
    if (!hooked) ADD_FAILURE() << "the allocation hooks cannot be installed";
    g_allocations = 0;
    g_countAllocations = hooked;
#endif
    for (int frame = 0; frame < frames; ++frame)
        CCDirector::sharedDirector()->stepFrame(0.05f);
#if defined(__SANITIZE_ADDRESS__)
    g_countAllocations = false;
    if (hooked) return g_allocations;
#endif
    return std::nullopt;
}

// The running red scene and a blue one to come, each with a draw counter.
struct CountedScenes {
    DrawCounter* old = DrawCounter::create();
    DrawCounter* coming = DrawCounter::create();
    CCScene* next = RecordingScene::create("b", kBlue);
    CountedScenes() {
        CCDirector::sharedDirector()->getRunningScene()->addChild(old);
        next->addChild(coming);
    }
};

} // namespace

TEST_F(TransitionTest, PageTurnDrawsEachPageOnceAndAllocatesNothingPerFrame) {
    runRed();
    CountedScenes pages;
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, pages.next, false));
    director()->stepFrame(0.05f);
    EXPECT_EQ(pages.old->draws, 1);
    EXPECT_EQ(pages.coming->draws, 0) << "the first frame shows the old page alone";
    for (int frame = 0; frame < 2; ++frame)
        director()->stepFrame(0.05f);
    EXPECT_EQ(allocationsOver(5).value_or(0), 0) << "allocations in five frames of the turn";
    EXPECT_EQ(pages.old->draws, 1);
    EXPECT_EQ(pages.coming->draws, 1);
    for (int frame = 0; frame < 3; ++frame)
        director()->stepFrame(0.05f);
    EXPECT_EQ(director()->getRunningScene(), pages.next);
    EXPECT_EQ(pages.coming->draws, 2) << "drawn itself once the turn is over";
}

// The flip draws each side into a texture once, when its half begins.
TEST_F(TransitionTest, ZoomFlipDrawsEachSideOnceAndAllocatesNothingPerFrame) {
    runRed();
    CountedScenes sides;
    director()->replaceScene(CCTransitionZoomFlipY::create(1.0f, sides.next));
    for (int frame = 0; frame < 3; ++frame)
        director()->stepFrame(0.05f);
    EXPECT_EQ(allocationsOver(5).value_or(0), 0) << "allocations in five frames of the flip";
    EXPECT_EQ(sides.old->draws, 1);
    EXPECT_EQ(sides.coming->draws, 0) << "the new side waits for the second half";
    for (int frame = 0; frame < 6; ++frame)
        director()->stepFrame(0.05f);
    EXPECT_EQ(sides.old->draws, 1);
    EXPECT_EQ(sides.coming->draws, 1);
}

TEST_F(TransitionTest, DepthTestOffDrawsThePageInGridOrder) {
    runRed();
    director()->setDepthTest(false);
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, RecordingScene::create("b", kBlue), false));
    for (int frame = 0; frame < 6; ++frame)
        drawFrame(0.05f);
    PageCurlMesh curl(CCSize(640, 960), CCTransitionPageTurn::kColumns, CCTransitionPageTurn::kRows);
    curl.update(0.5f, false);
    // The back of a lower row is covered by the flat cells of later rows.
    PageCurlMesh::Placement back = curl.place(ccp(600, 480));
    EXPECT_TRUE(isColour(at(back.position.x, back.position.y), 255, 0, 0));
}

TEST_F(TransitionTest, PageCurlBackwardsBringsTheNewPageBack) {
    runRed();
    auto* b = RecordingScene::create("b", kBlue);
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, b, true));
    drawFrame(0.05f);
    EXPECT_EQ(screen.count(isRed), screen.width() * screen.height())
        << "the new page starts turned away entirely";
    for (int frame = 0; frame < 5; ++frame)
        drawFrame(0.05f);
    ASSERT_TRUE(view()->saveFrame(std::string(LIRRA_BINARY_DIR) + "/page_curl_backwards.png"));
    // Mirror of the forward turn: the new page covers the upper left.
    EXPECT_TRUE(isColour(at(620, 20), 255, 0, 0));
    EXPECT_TRUE(isColour(at(20, 940), 0, 0, 255));
    EXPECT_GT(screen.count(isShaded), screen.width() * screen.height() / 20);
    for (int frame = 0; frame < 5; ++frame)
        drawFrame(0.05f);
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_EQ(screen.count(isBlue), screen.width() * screen.height());
}

namespace {

// A scene showing a picture with smooth red and green ramps and sharp blue
// squares, so that a shifted texel or a shade rounded otherwise shows.
CCScene* patternScene() {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 320, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    auto* pixels = static_cast<std::uint32_t*>(surface->pixels);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 320; ++x)
            pixels[y * surface->pitch / 4 + x] =
                0xff000000u | static_cast<std::uint32_t>(x * 255 / 319) << 16 |
                static_cast<std::uint32_t>(y * 255 / 479) << 8 | ((x / 12 + y / 12) % 2 ? 0xffu : 0u);
    CCSprite* sprite = CCSprite::createWithTexture(CCTexture2D::createWithSurface(surface));
    sprite->setScale(2.0f);
    sprite->setPosition(ccp(320, 480));
    CCScene* scene = CCScene::create();
    scene->addChild(sprite);
    return scene;
}

struct FrameDifference {
    int smooth = 0;    // largest difference in the red and green ramps
    int smoothOff = 0; // pixels whose red or green differs by more than 2
    int sharp = 0;     // pixels whose blue differs by more than 8
};

FrameDifference compare(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    FrameDifference out;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        Pixel p = testsupport::unpack(a[i]), q = testsupport::unpack(b[i]);
        const int ramp = std::max(std::abs(p.r - q.r), std::abs(p.g - q.g));
        out.smooth = std::max(out.smooth, ramp);
        out.smoothOff += ramp > 2;
        out.sharp += std::abs(p.b - q.b) > 8;
    }
    return out;
}

} // namespace

// The software renderer fills the turning page itself; SDL's own fill of
// the same mesh is the measure of its look: the same texels and shades but
// for rounding, a texel off along the squares' edges at most. SDL needs its
// triangles cut in pieces whose corners land on whole pixels, which moves
// the bend's strip edges by a pixel here and there: on those edges (a few
// pixels in a thousand) a pixel may belong to the neighbouring strip.
TEST_F(TransitionTest, OwnCurlFillLooksLikeSdlsOnTheSoftwareRenderer) {
    openView(824, 1008); // the book's window: design points stretched
    for (bool backwards : {false, true}) {
        director()->reset();
        director()->setDepthTest(true);
        director()->runWithScene(backwards ? RecordingScene::create("a", kBlue) : patternScene());
        drawFrame(0.05f);
        director()->replaceScene(CCTransitionPageTurn::create(
            0.5f, backwards ? patternScene() : RecordingScene::create("b", kBlue), backwards));
        drawFrame(0.05f);
        drawFrame(0.05f); // the incoming page drawn into its texture; no curl yet
        for (int frame = 3; frame <= 9; ++frame) {
            renderer()->resetStats();
            drawFrame(0.05f);
            ASSERT_GT(renderer()->getStats().ownFills, 0) << frame;
            std::vector<std::uint32_t> own = screen.pixels();
            renderer()->setOwnTriangleFill(false);
            renderer()->resetStats();
            drawFrame(0.0f); // the same frame again, filled by SDL
            renderer()->setOwnTriangleFill(true);
            ASSERT_EQ(renderer()->getStats().ownFills, 0);
            FrameDifference d = compare(own, screen.pixels());
            const int pixels = screen.width() * screen.height();
            EXPECT_LT(d.smoothOff, pixels / 500) << "backwards " << backwards << ", frame " << frame;
            EXPECT_LT(d.sharp, pixels / 50) << "backwards " << backwards << ", frame " << frame;
        }
    }
}

TEST_F(TransitionTest, ZoomFlipTurnsTheOldSceneAwayThenTheNewOneIn) {
    // Width of the red run on a design row, in pixels.
    auto redWidth = [&](float designY) {
        int width = 0;
        for (float x = 0; x < 640; x += 1)
            if (isRed(at(x, designY))) ++width;
        return width;
    };
    for (tOrientation orientation : {kCCTransitionOrientationUpOver, kCCTransitionOrientationDownOver}) {
        runRed();
        auto* b = RecordingScene::create("b", kBlue);
        director()->replaceScene(CCTransitionZoomFlipY::create(1.0f, b, orientation));
        drawFrame(0.05f);
        for (int frame = 0; frame < 5; ++frame)
            drawFrame(0.05f); // a quarter: 45 degrees, zoom 0.75
        ASSERT_TRUE(view()->saveFrame(std::string(LIRRA_BINARY_DIR) + "/zoom_flip_quarter_" +
                                      std::to_string(orientation) + ".png"));
        EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));
        EXPECT_TRUE(isColour(at(5, 480), 0, 0, 0)) << "black around the shrinking scene";
        EXPECT_TRUE(isColour(at(320, 955), 0, 0, 0));
        int upper = redWidth(600), lower = redWidth(360);
        if (orientation == kCCTransitionOrientationUpOver)
            EXPECT_LT(upper, lower - 10) << "the upper edge turns away and narrows";
        else
            EXPECT_GT(upper, lower + 10) << "the lower edge turns away and narrows";
        EXPECT_LT(std::max(upper, lower), 560) << "zoomed out";
        for (int frame = 0; frame < 10; ++frame)
            drawFrame(0.05f); // three quarters
        EXPECT_TRUE(isColour(at(320, 480), 0, 0, 255));
        EXPECT_TRUE(isColour(at(5, 480), 0, 0, 0));
        for (int frame = 0; frame < 5; ++frame)
            drawFrame(0.05f);
        EXPECT_EQ(director()->getRunningScene(), b);
        director()->reset();
    }
}

namespace {

// Where a mesh vertex lies on the flat page.
CCPoint pagePointOf(const CCVertex& v) {
    return {v.u * 640, (1 - v.v) * 960};
}

// The page area that the mesh's triangles and the flat rectangles show.
float shownArea(const PageCurlMesh& curl) {
    float area = 0;
    for (const CCRect& rect : curl.flatRects())
        area += rect.size.width * rect.size.height;
    const std::vector<int>& indices = curl.indices();
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        CCPoint a = pagePointOf(curl.vertices()[indices[i]]),
                b = pagePointOf(curl.vertices()[indices[i + 1]]),
                c = pagePointOf(curl.vertices()[indices[i + 2]]);
        area += std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
    }
    return area;
}

} // namespace

TEST(PageCurlMeshTest, FlatAtTheStartGoneAtTheEndAndWholeBetween) {
    PageCurlMesh curl(CCSize(640, 960), 16, 24);
    curl.update(0.0f, true);
    EXPECT_TRUE(curl.indices().empty()) << "nothing bends yet";
    EXPECT_NEAR(shownArea(curl), 640 * 960, 1);
    // Every stage shows the whole page once; the mesh overlaps the flat
    // rectangles by a point per band, no more.
    for (float progress : {0.05f, 0.2f, 0.5f, 0.8f, 0.95f}) {
        curl.update(progress, true);
        EXPECT_NEAR(shownArea(curl), 640 * 960, 960 + 1) << progress;
    }
    curl.update(1.0f, true);
    EXPECT_TRUE(curl.flatRects().empty());
    for (const CCVertex& v : curl.vertices()) {
        bool inside = v.position.x > 0 && v.position.x < 640 && v.position.y > 0 && v.position.y < 960;
        EXPECT_FALSE(inside) << "(" << v.position.x << ", " << v.position.y << ")";
    }
}

TEST(PageCurlMeshTest, TrianglesGoToTheBendBackToFront) {
    PageCurlMesh curl(CCSize(640, 960), 16, 24);
    curl.update(0.5f, true);
    PageCurlMesh::Placement flat = curl.place(ccp(10, 950));
    PageCurlMesh::Placement back = curl.place(ccp(630, 10));
    EXPECT_FALSE(flat.back);
    EXPECT_FLOAT_EQ(flat.height, 0);
    EXPECT_TRUE(back.back);
    EXPECT_LT(back.brightness, 0.9f);
    EXPECT_GT(back.height, 0);
    // Flat pieces first, then the bend rising away from the axis, then the
    // back on top; most triangles lie on the bend.
    const std::vector<CCVertex>& vertices = curl.vertices();
    const std::vector<int>& indices = curl.indices();
    enum Kind { Flat, Bend, Back };
    int lastKind = Flat, bent = 0, triangles = static_cast<int>(indices.size() / 3);
    float firstBend = -1, lastBend = -1;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        CCPoint centre = (pagePointOf(vertices[indices[i]]) + pagePointOf(vertices[indices[i + 1]]) +
                          pagePointOf(vertices[indices[i + 2]])) *
                         (1.0f / 3);
        float height = curl.place(centre).height;
        int kind = height <= 0 ? Flat : height >= 2 * curl.radius() - 1e-3f ? Back : Bend;
        EXPECT_GE(kind, lastKind) << "triangle " << i / 3;
        lastKind = kind;
        if (kind != Bend) continue;
        ++bent;
        if (firstBend < 0) firstBend = height;
        lastBend = height;
    }
    EXPECT_EQ(lastKind, Back);
    EXPECT_LT(firstBend, lastBend);
    EXPECT_LT(triangles, 16 * 24 * 2 / 4);
    EXPECT_GT(bent, triangles * 2 / 3);

    // Without depth sorting: the grid, in grid order.
    curl.update(0.5f, false);
    ASSERT_EQ(curl.vertices().size(), 17u * 25u);
    EXPECT_TRUE(curl.flatRects().empty());
    EXPECT_EQ(curl.indices()[15 * 6], 15) << "cell 15 of the lowest row comes 16th";
}
