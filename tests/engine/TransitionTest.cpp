// Transitions: the enter and exit calls of the scenes they join, their end,
// touches meanwhile, and what the page turn and the zoom-flip draw.
#include "HeadlessView.h"

#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "engine/transitions/CCTransitionZoomFlipY.h"
#include "engine/transitions/PageCurlMesh.h"
#include "support/RecordingScene.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;
using rendertest::isColour;
using rendertest::Rgba;

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

class TransitionTest : public rendertest::HeadlessViewTest {
protected:
    void SetUp() override {
        HeadlessViewTest::SetUp();
        g_calls.clear();
        director()->setDepthTest(true);
    }
    void TearDown() override {
        director()->setDepthTest(false);
        HeadlessViewTest::TearDown();
    }

    // Runs scene "a" (red) and clears the record.
    void runRed() {
        director()->runWithScene(RecordingScene::create("a", kRed));
        step(0.05f);
        g_calls.clear();
    }
    void step(float dt) {
        director()->stepFrame(dt);
        ASSERT_TRUE(view()->readPixels(m_pixels, m_width, m_height));
    }
    int countPixels(bool (*match)(const Rgba&)) const {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (match(pixelAt(x, y))) ++count;
        return count;
    }
    static bool isRed(const Rgba& c) { return rendertest::near(c, 255, 0, 0); }
    static bool isBlue(const Rgba& c) { return rendertest::near(c, 0, 0, 255); }
    // A red or blue page's back: the same hue, shaded.
    static bool isShaded(const Rgba& c) {
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
    step(0.05f);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExitTransitionDidStart", "b.onEnter"}));
    EXPECT_EQ(director()->getRunningScene(), turn);
    EXPECT_TRUE(b->isRunning());

    g_calls.clear();
    for (int frame = 0; frame < 9; ++frame)
        step(0.05f);
    EXPECT_TRUE(g_calls.empty()) << "nothing more until the time is up";
    EXPECT_EQ(director()->getRunningScene(), turn);

    step(0.05f); // 0.5 s
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
    step(0.05f);
    EXPECT_FALSE(touches->isDispatchEvents());
    touches->touchBegan(0, ccp(320, 480));
    touches->touchEnded(0, ccp(320, 480));
    EXPECT_EQ(layer->began, 0);
    for (int frame = 0; frame < 4; ++frame)
        step(0.05f);
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
    step(1 / 60.f);
    EXPECT_NE(director()->getRunningScene(), b);
    EXPECT_TRUE(isColour(at(320, 480), 0, 0, 255)) << "a finished flip shows the new scene";
    step(1 / 60.f);
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExitTransitionDidStart", "b.onEnter", "a.onExit",
                                                 "a.cleanup", "b.onEnterTransitionDidFinish", "a.deleted"}));
    EXPECT_TRUE(director()->getTouchDispatcher()->isDispatchEvents());
}

TEST_F(TransitionTest, TransitionCutShortLeavesBothItsScenes) {
    runRed();
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, RecordingScene::create("b", kBlue), true));
    step(0.05f);
    auto* c = RecordingScene::create("c", ccc4(0, 0, 0, 255));
    director()->replaceScene(c);
    g_calls.clear();
    step(0.05f);
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
        step(0.05f);
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
    step(0.05f);
    EXPECT_EQ(countPixels(isRed), m_width * m_height) << "at the start only the old page shows";
    for (int frame = 0; frame < 5; ++frame)
        step(0.05f); // halfway
    ASSERT_TRUE(view()->saveFrame(std::string(LIRRA_BINARY_DIR) + "/page_curl_forwards.png"));

    // The lower right corner lifts first: the new page shows there, the old
    // one still lies flat at the upper left.
    EXPECT_TRUE(isColour(at(620, 20), 0, 0, 255));
    EXPECT_TRUE(isColour(at(20, 940), 255, 0, 0));
    int red = countPixels(isRed), blue = countPixels(isBlue), shaded = countPixels(isShaded);
    EXPECT_GT(blue, m_width * m_height / 10);
    EXPECT_GT(red, m_width * m_height / 40);
    EXPECT_GT(shaded, m_width * m_height / 20) << "the turned-over back of the old page";

    // Where the maths puts a point of the page's back, its shaded colour lies
    // on top of the flat page.
    PageCurlMesh curl(CCSize(640, 960), CCTransitionPageTurn::kColumns, CCTransitionPageTurn::kRows);
    curl.update(0.5f, true);
    PageCurlMesh::Placement back = curl.place(ccp(600, 480));
    ASSERT_TRUE(back.back);
    ASSERT_GT(back.position.x, 10);
    Rgba seen = at(back.position.x, back.position.y);
    EXPECT_TRUE(isColour(seen, static_cast<int>(255 * back.brightness), 0, 0, 4));
}

TEST_F(TransitionTest, DepthTestOffDrawsThePageInGridOrder) {
    runRed();
    director()->setDepthTest(false);
    director()->replaceScene(CCTransitionPageTurn::create(0.5f, RecordingScene::create("b", kBlue), false));
    for (int frame = 0; frame < 6; ++frame)
        step(0.05f);
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
    step(0.05f);
    EXPECT_EQ(countPixels(isRed), m_width * m_height) << "the new page starts turned away entirely";
    for (int frame = 0; frame < 5; ++frame)
        step(0.05f);
    ASSERT_TRUE(view()->saveFrame(std::string(LIRRA_BINARY_DIR) + "/page_curl_backwards.png"));
    // Mirror of the forward turn: the new page covers the upper left.
    EXPECT_TRUE(isColour(at(620, 20), 255, 0, 0));
    EXPECT_TRUE(isColour(at(20, 940), 0, 0, 255));
    EXPECT_GT(countPixels(isShaded), m_width * m_height / 20);
    for (int frame = 0; frame < 5; ++frame)
        step(0.05f);
    EXPECT_EQ(director()->getRunningScene(), b);
    EXPECT_EQ(countPixels(isBlue), m_width * m_height);
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
        step(0.05f);
        for (int frame = 0; frame < 5; ++frame)
            step(0.05f); // a quarter: 45 degrees, zoom 0.75
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
            step(0.05f); // three quarters
        EXPECT_TRUE(isColour(at(320, 480), 0, 0, 255));
        EXPECT_TRUE(isColour(at(5, 480), 0, 0, 0));
        for (int frame = 0; frame < 5; ++frame)
            step(0.05f);
        EXPECT_EQ(director()->getRunningScene(), b);
        director()->reset();
    }
}

TEST(PageCurlMeshTest, FlatAtTheStartAndGoneAtTheEnd) {
    PageCurlMesh curl(CCSize(640, 960), 16, 24);
    curl.update(0.0f, true);
    ASSERT_EQ(curl.vertices().size(), 17u * 25u);
    EXPECT_EQ(curl.indices().size(), 16u * 24u * 6u);
    for (const CCVertex& v : curl.vertices()) {
        EXPECT_NEAR(v.position.x, v.u * 640, 0.01f);
        EXPECT_NEAR(v.position.y, (1 - v.v) * 960, 0.01f);
        EXPECT_EQ(v.color.r, 255);
    }
    curl.update(1.0f, true);
    for (const CCVertex& v : curl.vertices()) {
        bool inside = v.position.x > 0 && v.position.x < 640 && v.position.y > 0 && v.position.y < 960;
        EXPECT_FALSE(inside) << "(" << v.position.x << ", " << v.position.y << ")";
    }
}

TEST(PageCurlMeshTest, BackIsDarkerAndDrawnAfterWhatItCovers) {
    PageCurlMesh curl(CCSize(640, 960), 16, 24);
    curl.update(0.5f, true);
    PageCurlMesh::Placement flat = curl.place(ccp(10, 950));
    PageCurlMesh::Placement back = curl.place(ccp(630, 10));
    EXPECT_FALSE(flat.back);
    EXPECT_FLOAT_EQ(flat.height, 0);
    EXPECT_TRUE(back.back);
    EXPECT_LT(back.brightness, 0.9f);
    EXPECT_GT(back.height, 0);
    // The cell holding the back point comes after the flat cell in the draw order.
    const std::vector<int>& indices = curl.indices();
    auto drawnAt = [&](int column, int row) {
        int lowerLeft = row * 17 + column;
        for (size_t i = 0; i < indices.size(); i += 6)
            if (indices[i] == lowerLeft) return static_cast<int>(i / 6);
        return -1;
    };
    EXPECT_GT(drawnAt(15, 0), drawnAt(0, 23));
    curl.update(0.5f, false);
    EXPECT_EQ(drawnAt(15, 0), 15) << "grid order without depth sorting";
}
