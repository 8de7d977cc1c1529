// Draw nodes and clipping nodes: shapes on pixels, children cut exactly at
// a rectangular stencil (plain, resized, nested, under non-uniform scale,
// inverted), stencils that draw nothing, the alpha threshold, and the
// stencil's place in the running scene.
#include "support/SceneTest.h"

#include "engine/nodes/CCClippingNode.h"
#include "engine/nodes/CCDrawNode.h"
#include "engine/nodes/CCLayer.h"

using namespace engine;
using namespace testsupport;
using testsupport::LogCapture;

namespace {

constexpr ccColor4F kStencilGreen{0, 1, 0, 1};

// A stencil rectangle as the widget panels draw it: corners from (0, 0).
CCDrawNode* rectangleStencil(float w, float h, CCDrawNode* into = nullptr) {
    CCDrawNode* stencil = into ? into : CCDrawNode::create();
    stencil->clear();
    const CCPoint corners[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    stencil->drawPolygon(corners, 4, kStencilGreen, 0, kStencilGreen);
    return stencil;
}

// A clipping node at (x, y) limited to w x h, holding a red layer that
// covers the whole screen whatever the node's transform.
CCClippingNode* clipWithRedFill(float x, float y, float w, float h, GLubyte alpha = 255) {
    CCClippingNode* clip = CCClippingNode::create(rectangleStencil(w, h));
    clip->setPosition(ccp(x, y));
    CCLayerColor* fill = CCLayerColor::create(ccc4(255, 0, 0, alpha), 4000, 4000);
    fill->setPosition(ccp(-2000, -2000));
    clip->addChild(fill);
    return clip;
}

class ClippingTest : public SceneTest {
protected:
    // Red exactly on [left, right] x [bottom, top] in design points (edges
    // on whole pixels), black just outside.
    void expectRedExactly(float left, float bottom, float right, float top) {
        float midX = (left + right) / 2, midY = (bottom + top) / 2;
        EXPECT_TRUE(isColour(at(left + 0.5f, midY), 255, 0, 0)) << "left edge";
        EXPECT_TRUE(isColour(at(left - 0.5f, midY), 0, 0, 0)) << "left edge";
        EXPECT_TRUE(isColour(at(right - 0.5f, midY), 255, 0, 0)) << "right edge";
        EXPECT_TRUE(isColour(at(right + 0.5f, midY), 0, 0, 0)) << "right edge";
        EXPECT_TRUE(isColour(at(midX, bottom + 0.5f), 255, 0, 0)) << "bottom edge";
        EXPECT_TRUE(isColour(at(midX, bottom - 0.5f), 0, 0, 0)) << "bottom edge";
        EXPECT_TRUE(isColour(at(midX, top - 0.5f), 255, 0, 0)) << "top edge";
        EXPECT_TRUE(isColour(at(midX, top + 0.5f), 0, 0, 0)) << "top edge";
        EXPECT_TRUE(isColour(at(left + 0.5f, top - 0.5f), 255, 0, 0)) << "corner";
        EXPECT_TRUE(isColour(at(right + 0.5f, top + 0.5f), 0, 0, 0)) << "corner";
    }
};

TEST_F(ClippingTest, ChildIsCutExactlyAtTheStencilRectangleAndFollowsItsRedraw) {
    CCClippingNode* clip = clipWithRedFill(100, 200, 300, 200);
    LogCapture log;
    show(clip);
    expectRedExactly(100, 200, 400, 400);
    EXPECT_EQ(renderer()->getClipDepth(), 0);

    // As a panel resizes: the same stencil cleared and drawn again.
    rectangleStencil(50, 60, static_cast<CCDrawNode*>(clip->getStencil()));
    drawFrame();
    expectRedExactly(100, 200, 150, 260);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(ClippingTest, NestedClippingNodesIntersectAndRestoreTheOuterClip) {
    CCClippingNode* outer = CCClippingNode::create(rectangleStencil(300, 300));
    outer->setPosition(ccp(100, 100));                           // 100..400
    CCClippingNode* inner = clipWithRedFill(200, 200, 200, 200); // 300..500 in the world
    outer->addChild(inner);
    // Drawn after the inner node: clipped by the outer rectangle only.
    CCLayerColor* after = CCLayerColor::create(ccc4(0, 0, 255, 255), 60, 60);
    after->setPosition(ccp(-20, -20)); // 80..140
    outer->addChild(after, 1);
    show(outer);
    expectRedExactly(300, 300, 400, 400);
    EXPECT_TRUE(isColour(at(100.5f, 100.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(at(139.5f, 139.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(at(99.5f, 120), 0, 0, 0));
    EXPECT_TRUE(isColour(at(120, 99.5f), 0, 0, 0));
}

TEST_F(ClippingTest, NonUniformScaleScalesTheStencil) {
    CCNode* parent = CCNode::create();
    parent->setScaleX(2.0f);
    parent->setScaleY(0.5f);
    parent->setPosition(ccp(20, 40));
    // Local (40, 120) size 100 x 200: world x 20 + 80 .. 20 + 280, y 40 + 60 .. 40 + 160.
    parent->addChild(clipWithRedFill(40, 120, 100, 200));
    show(parent);
    expectRedExactly(100, 100, 300, 200);
}

TEST_F(ClippingTest, InvertedDrawsOnlyOutsideAndEachPixelOnce) {
    CCClippingNode* clip = clipWithRedFill(100, 200, 300, 200, 128);
    clip->setInverted(true);
    show(clip);
    // Half-transparent red over black: drawn twice it would be brighter.
    EXPECT_TRUE(isColour(at(50, 50), 128, 0, 0));
    EXPECT_TRUE(isColour(at(99.5f, 300), 128, 0, 0));
    EXPECT_TRUE(isColour(at(250, 199.5f), 128, 0, 0));
    EXPECT_TRUE(isColour(at(250, 400.5f), 128, 0, 0));
    EXPECT_TRUE(isColour(at(400.5f, 400.5f), 128, 0, 0));
    EXPECT_TRUE(isColour(at(600, 900), 128, 0, 0));
    EXPECT_TRUE(isColour(at(100.5f, 300), 0, 0, 0));
    EXPECT_TRUE(isColour(at(399.5f, 399.5f), 0, 0, 0));
    EXPECT_TRUE(isColour(at(250, 300), 0, 0, 0));
}

TEST_F(ClippingTest, StencilsThatDrawNothingLetNothingThroughUnlessInverted) {
    CCNode* root = CCNode::create();
    CCClippingNode* none = clipWithRedFill(0, 0, 10, 10);
    none->setStencil(nullptr);
    root->addChild(none);
    CCClippingNode* empty = clipWithRedFill(0, 0, 10, 10);
    static_cast<CCDrawNode*>(empty->getStencil())->clear();
    root->addChild(empty);
    CCClippingNode* hidden = clipWithRedFill(0, 0, 10, 10);
    hidden->getStencil()->setVisible(false);
    root->addChild(hidden);
    show(root);
    EXPECT_TRUE(isColour(at(5, 5), 0, 0, 0));
    EXPECT_TRUE(isColour(at(300, 300), 0, 0, 0));

    empty->setInverted(true);
    drawFrame();
    EXPECT_TRUE(isColour(at(300, 300), 255, 0, 0));
}

TEST_F(ClippingTest, AlphaThresholdIgnoresFainterStencilShapes) {
    CCClippingNode* clip = clipWithRedFill(0, 0, 0, 0);
    auto* stencil = static_cast<CCDrawNode*>(clip->getStencil());
    stencil->clear();
    const CCPoint faint[4] = {{100, 100}, {200, 100}, {200, 200}, {100, 200}};
    const CCPoint solid[4] = {{300, 100}, {400, 100}, {400, 200}, {300, 200}};
    stencil->drawPolygon(faint, 4, ccc4f(0, 1, 0, 0.2f), 0, ccc4f(0, 0, 0, 0));
    stencil->drawPolygon(solid, 4, ccc4f(0, 1, 0, 1), 0, ccc4f(0, 0, 0, 0));
    clip->setAlphaThreshold(0.5f);
    show(clip);
    expectRedExactly(300, 100, 400, 200);
    EXPECT_TRUE(isColour(at(150, 150), 0, 0, 0));
    // At 1 every shape counts: the box of both.
    clip->setAlphaThreshold(1.0f);
    drawFrame();
    EXPECT_TRUE(isColour(at(150, 150), 255, 0, 0));
    EXPECT_TRUE(isColour(at(250, 150), 255, 0, 0));
}

TEST_F(ClippingTest, RotatedAndNonDrawNodeStencilsClipToTheirBox) {
    CCNode* root = CCNode::create();
    CCClippingNode* rotated = clipWithRedFill(100, 500, 100, 100);
    rotated->getStencil()->setRotation(90); // clockwise about its origin: x 0..100, y -100..0
    root->addChild(rotated);
    CCClippingNode* byLayer = clipWithRedFill(0, 0, 0, 0);
    CCLayerColor* box = CCLayerColor::create(ccc4(0, 0, 0, 0), 100, 50);
    box->setPosition(ccp(300, 100));
    byLayer->setStencil(box);
    root->addChild(byLayer);
    show(root);
    expectRedExactly(100, 400, 200, 500);
    expectRedExactly(300, 100, 400, 150);
}

TEST_F(ClippingTest, StencilEntersAndExitsWithTheClippingNode) {
    CCClippingNode* clip = clipWithRedFill(0, 0, 10, 10);
    CCNode* stencil = clip->getStencil();
    show(clip);
    EXPECT_TRUE(stencil->isRunning());
    CCRef<CCNode> replaced = stencil;
    CCDrawNode* fresh = rectangleStencil(20, 20);
    clip->setStencil(fresh);
    EXPECT_FALSE(replaced->isRunning());
    EXPECT_TRUE(fresh->isRunning());
    clip->removeFromParent();
    EXPECT_FALSE(fresh->isRunning());
}

TEST_F(ClippingTest, DrawNodeFillsOutlinesAndClears) {
    CCDrawNode* node = CCDrawNode::create();
    const CCPoint square[4] = {{100, 100}, {200, 100}, {200, 200}, {100, 200}};
    node->drawPolygon(square, 4, ccc4f(1, 0, 0, 1), 4, ccc4f(0, 0, 1, 1));
    const CCPoint triangle[3] = {{300, 100}, {500, 100}, {400, 300}};
    node->drawPolygon(triangle, 3, ccc4f(0, 1, 0, 1), 0, ccc4f(0, 0, 0, 0));
    node->drawDot(ccp(100, 500), 30, ccc4f(1, 1, 1, 1));
    node->drawSegment(ccp(300, 600), ccp(500, 600), 10, ccc4f(1, 1, 0, 1));
    const CCPoint line[2] = {{0, 0}, {50, 50}};
    node->drawPolygon(line, 2, ccc4f(1, 1, 1, 1), 1, ccc4f(1, 1, 1, 1)); // too few corners: nothing
    show(node);
    EXPECT_TRUE(isColour(at(150, 150), 255, 0, 0));
    // The outline is 4 thick, centred on the edges: 98..102 at the left.
    EXPECT_TRUE(isColour(at(98.5f, 150), 0, 0, 255));
    EXPECT_TRUE(isColour(at(101.5f, 150), 0, 0, 255));
    EXPECT_TRUE(isColour(at(103.5f, 150), 255, 0, 0));
    EXPECT_TRUE(isColour(at(96.5f, 150), 0, 0, 0));
    EXPECT_TRUE(isColour(at(150, 201.5f), 0, 0, 255));
    EXPECT_TRUE(isColour(at(400, 150), 0, 255, 0));
    EXPECT_TRUE(isColour(at(310, 250), 0, 0, 0));
    EXPECT_TRUE(isColour(at(100, 500), 255, 255, 255));
    EXPECT_TRUE(isColour(at(100, 525), 255, 255, 255));
    EXPECT_TRUE(isColour(at(100, 535), 0, 0, 0));
    EXPECT_TRUE(isColour(at(400, 605), 255, 255, 0));
    EXPECT_TRUE(isColour(at(505, 600), 255, 255, 0)); // round end
    EXPECT_TRUE(isColour(at(400, 615), 0, 0, 0));
    EXPECT_TRUE(isColour(at(25, 25), 0, 0, 0));
    CCRect bounds;
    ASSERT_TRUE(node->getDrawnBounds(bounds));
    EXPECT_NEAR(bounds.getMinX(), 70, 0.01f);
    EXPECT_NEAR(bounds.getMaxY(), 610, 0.5f);

    node->clear();
    EXPECT_FALSE(node->getDrawnBounds(bounds));
    drawFrame();
    EXPECT_TRUE(isColour(at(150, 150), 0, 0, 0));
    EXPECT_TRUE(isColour(at(400, 150), 0, 0, 0));
}

} // namespace

TEST_F(ClippingTest, AClipBillionsOfPointsWideStillCoversTheScreenWithoutOverflow) {
    // Its edges in pixels are beyond an int, and so is their difference.
    CCClippingNode* clip = clipWithRedFill(-3e9f, 100, 6e9f, 200);
    clip->getChildren().front()->setPosition(ccp(3e9f - 2000, -2000)); // the fill over the screen
    show(clip);
    EXPECT_TRUE(isColour(at(5, 200), 255, 0, 0));
    EXPECT_TRUE(isColour(at(635, 200), 255, 0, 0));
    EXPECT_TRUE(isColour(at(320, 50), 0, 0, 0));
    EXPECT_EQ(renderer()->getClipDepth(), 0);
}
