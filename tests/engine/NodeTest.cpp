#include "engine/actions/CCMoveBy.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "engine/nodes/CCScene.h"
#include "support/LeakCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;

namespace {

std::vector<std::string> g_calls;

// A node that journals its enter, exit and cleanup calls and its death.
class Journaled : public CCNode {
public:
    static Journaled* create(std::string name) {
        auto* node = new Journaled(std::move(name));
        node->autorelease();
        return node;
    }
    ~Journaled() override { g_calls.push_back(m_name + ".deleted"); }
    void onEnter() override {
        g_calls.push_back(m_name + ".onEnter");
        CCNode::onEnter();
    }
    void onExitTransitionDidStart() override {
        g_calls.push_back(m_name + ".onExitTransitionDidStart");
        CCNode::onExitTransitionDidStart();
    }
    void onExit() override {
        g_calls.push_back(m_name + ".onExit");
        CCNode::onExit();
    }
    void cleanup() override {
        g_calls.push_back(m_name + ".cleanup");
        CCNode::cleanup();
    }

private:
    explicit Journaled(std::string name) : m_name(std::move(name)) {}
    std::string m_name;
};

std::vector<int> tagsOf(const CCNode* parent) {
    std::vector<int> tags;
    for (const CCNode* child : parent->getChildren())
        tags.push_back(child->getTag());
    return tags;
}

void expectPoint(const CCPoint& actual, const CCPoint& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-3f);
    EXPECT_NEAR(actual.y, expected.y, 1e-3f);
}

class NodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        director = CCDirector::sharedDirector();
        director->reset();
        leaks.start();
    }
    void TearDown() override { director->reset(); }
    CCScene* runningScene() {
        CCScene* scene = CCScene::create();
        director->runWithScene(scene);
        director->stepFrame(0);
        return scene;
    }
    CCDirector* director = nullptr;
    testsupport::LeakCheck leaks;
};

} // namespace

TEST_F(NodeTest, ChildrenKeepZOrderThenArrival) {
    CCNode* parent = CCNode::create();
    parent->addChild(CCNode::create(), 1, 10);
    parent->addChild(CCNode::create(), -1, 20);
    parent->addChild(CCNode::create(), 0, 30);
    parent->addChild(CCNode::create(), 1, 40);
    parent->addChild(CCNode::create(), 0, 50);
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{20, 30, 50, 10, 40}));

    parent->reorderChild(parent->getChildByTag(30), 0); // behind the others of its z-order
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{20, 50, 30, 10, 40}));
    parent->reorderChild(parent->getChildByTag(40), -5);
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{40, 20, 50, 30, 10}));
    EXPECT_EQ(parent->getChildByTag(40)->getZOrder(), -5);
    EXPECT_EQ(parent->getChildByTag(99), nullptr);

    // A node already in a tree is refused elsewhere.
    testsupport::LogCapture log;
    CCNode* other = CCNode::create();
    other->addChild(parent->getChildByTag(10));
    EXPECT_EQ(other->getChildrenCount(), 0u);
    EXPECT_EQ(log.count("already has a parent"), 1);
}

TEST_F(NodeTest, RemovingChildrenCallsExitAndCleanup) {
    CCScene* scene = runningScene();
    Journaled* parent = Journaled::create("parent");
    Journaled* child = Journaled::create("child");
    parent->addChild(child);
    scene->addChild(parent);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"parent.onEnter", "child.onEnter"}));
    EXPECT_TRUE(child->isRunning());
    director->stepFrame(0); // the pool lets go: the tree alone holds them

    child->runAction(CCMoveBy::create(1, ccp(1, 1)));
    child->retain();
    g_calls.clear();
    parent->removeChild(child, false);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"child.onExitTransitionDidStart", "child.onExit"}));
    EXPECT_FALSE(child->isRunning());
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->numberOfRunningActions(), 1u) << "no cleanup: the action waits";

    parent->addChild(child);
    child->release();
    g_calls.clear();
    parent->removeFromParentAndCleanup(true);
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"parent.onExitTransitionDidStart", "child.onExitTransitionDidStart",
                                        "parent.onExit", "child.onExit", "parent.cleanup", "child.cleanup",
                                        "parent.deleted", "child.deleted"}));
    EXPECT_EQ(scene->getChildrenCount(), 0u);
}

namespace {
// On leaving, empties its parent: the child loses its last owner mid-removal.
class ClearsParentOnExit : public CCNode {
public:
    static ClearsParentOnExit* create() {
        auto* node = new ClearsParentOnExit();
        node->autorelease();
        return node;
    }
    void onExit() override {
        CCNode::onExit();
        if (CCNode* parent = getParent()) parent->removeAllChildrenWithCleanup(true);
    }
};
} // namespace

TEST_F(NodeTest, ChildFreedByItsOwnExitIsNotTouchedAfterwards) {
    CCScene* scene = runningScene();
    CCNode* parent = CCNode::create();
    scene->addChild(parent);
    ClearsParentOnExit* child = ClearsParentOnExit::create();
    parent->addChild(child);
    director->stepFrame(0);
    parent->removeChild(child, true); // ASan reports a use after free without the fix
    EXPECT_EQ(parent->getChildrenCount(), 0u);
}

TEST_F(NodeTest, TransformFromPositionAnchorScaleAndRotation) {
    CCNode* node = CCNode::create();
    node->setContentSize(CCSize(100, 50));
    node->setAnchorPoint(ccp(0.5f, 0.5f));
    node->setPosition(200, 300);
    expectPoint(node->convertToWorldSpace(ccp(50, 25)), ccp(200, 300)); // the anchor sits at the position
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(150, 275));

    node->setScale(2);
    node->setRotation(90); // clockwise
    // The lower-left corner is (-50, -25) from the anchor: scaled (-100, -50),
    // turned a quarter clockwise (-50, 100).
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(150, 400));
    CCRect box = node->boundingBox();
    EXPECT_NEAR(box.origin.x, 150, 1e-3f);
    EXPECT_NEAR(box.origin.y, 200, 1e-3f);
    EXPECT_NEAR(box.size.width, 100, 1e-3f);
    EXPECT_NEAR(box.size.height, 200, 1e-3f);

    node->setScaleX(-1);
    node->setScaleY(1);
    node->setRotation(0);
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(250, 275)); // mirrored about its anchor
}

TEST_F(NodeTest, ConversionRoundTripsThroughARotatedScaledParent) {
    CCNode* root = CCNode::create();
    root->setPosition(10, -20);
    CCNode* parent = CCNode::create();
    parent->setContentSize(CCSize(300, 200));
    parent->setAnchorPoint(ccp(0.25f, 0.75f));
    parent->setPosition(320, 480);
    parent->setRotation(30);
    parent->setScaleX(1.5f);
    parent->setScaleY(0.5f);
    root->addChild(parent);
    CCNode* child = CCNode::create();
    child->setPosition(40, 60);
    child->setRotation(-75);
    child->setScale(3);
    parent->addChild(child);

    for (CCPoint world : {ccp(0, 0), ccp(640, 960), ccp(-33.5f, 712.25f)}) {
        expectPoint(child->convertToWorldSpace(child->convertToNodeSpace(world)), world);
        expectPoint(parent->convertToWorldSpace(parent->convertToNodeSpace(world)), world);
    }
    // The child's origin is its position in the parent's space.
    expectPoint(parent->convertToNodeSpace(child->convertToWorldSpace(ccp(0, 0))), ccp(40, 60));
    // The parent's anchor lands on its position plus the root's offset.
    expectPoint(parent->convertToWorldSpace(ccp(75, 150)), ccp(330, 460));
    expectPoint(parent->convertToWorldSpaceAR(ccp(0, 0)), ccp(330, 460));
    expectPoint(parent->convertToNodeSpaceAR(ccp(330, 460)), ccp(0, 0));

    // A visit computes the same world transform.
    root->visit();
    CCAffineTransform visited = child->getWorldTransform();
    CCAffineTransform computed = child->nodeToWorldTransform();
    EXPECT_NEAR(visited.a, computed.a, 1e-5f);
    EXPECT_NEAR(visited.c, computed.c, 1e-5f);
    EXPECT_NEAR(visited.tx, computed.tx, 1e-3f);
    EXPECT_NEAR(visited.ty, computed.ty, 1e-3f);
}

TEST_F(NodeTest, IgnoringTheAnchorPlacesTheLowerLeftCornerAtThePosition) {
    CCNode* node = CCNode::create();
    node->setContentSize(CCSize(100, 100));
    node->setAnchorPoint(ccp(0.5f, 0.5f));
    node->setPosition(10, 10);
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(-40, -40));
    node->ignoreAnchorPointForPosition(true);
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(10, 10));
    // Scale and rotation still turn about the anchor.
    node->setScale(2);
    expectPoint(node->convertToWorldSpace(ccp(50, 50)), ccp(60, 60));
    expectPoint(node->convertToWorldSpace(ccp(0, 0)), ccp(-40, -40));

    CCLayer* layer = CCLayer::create();
    layer->setPosition(5, 7);
    expectPoint(layer->convertToWorldSpace(ccp(0, 0)), ccp(5, 7)); // layers ignore their anchor
}

TEST_F(NodeTest, OpacityAndColourCascade) {
    CCNodeRGBA* parent = CCNodeRGBA::create();
    CCNodeRGBA* child = CCNodeRGBA::create();
    CCNodeRGBA* grandchild = CCNodeRGBA::create();
    parent->addChild(child);
    child->addChild(grandchild);
    parent->setOpacity(128);
    EXPECT_EQ(child->getDisplayedOpacity(), 255) << "cascading is off by default";

    parent->setCascadeOpacityEnabled(true);
    child->setCascadeOpacityEnabled(true);
    EXPECT_EQ(child->getDisplayedOpacity(), 128);
    child->setOpacity(128);
    EXPECT_EQ(child->getOpacity(), 128);
    EXPECT_EQ(child->getDisplayedOpacity(), 64);
    EXPECT_EQ(grandchild->getDisplayedOpacity(), 64);

    CCNodeRGBA* late = CCNodeRGBA::create();
    parent->addChild(late);
    EXPECT_EQ(late->getDisplayedOpacity(), 128) << "a child added later takes the cascaded value";
    EXPECT_EQ(late->getOpacity(), 255);

    parent->setCascadeColorEnabled(true);
    parent->setColor(ccc3(255, 128, 0));
    late->setColor(ccc3(128, 255, 255));
    EXPECT_EQ(late->getDisplayedColor(), ccc3(128, 128, 0));
    EXPECT_EQ(late->getColor(), ccc3(128, 255, 255));
    EXPECT_EQ(grandchild->getDisplayedColor(), ccWHITE) << "the child does not cascade colour";

    parent->setCascadeOpacityEnabled(false);
    EXPECT_EQ(late->getDisplayedOpacity(), 255) << "back to its own value";
    EXPECT_EQ(grandchild->getDisplayedOpacity(), 128);
}

TEST_F(NodeTest, GradientCornerColours) {
    CCLayerGradient* layer = CCLayerGradient::create(ccc4(255, 0, 0, 255), ccc4(0, 0, 255, 55));
    ccColor4F corners[4]; // lower left, lower right, upper left, upper right
    layer->cornerColors(corners);
    // Default vector (0, -1): the start colour on top, the end colour below.
    EXPECT_FLOAT_EQ(corners[2].r, 1.0f);
    EXPECT_FLOAT_EQ(corners[3].r, 1.0f);
    EXPECT_FLOAT_EQ(corners[0].b, 1.0f);
    EXPECT_FLOAT_EQ(corners[1].b, 1.0f);
    EXPECT_FLOAT_EQ(corners[0].a, 55 / 255.0f);
    EXPECT_FLOAT_EQ(corners[2].a, 1.0f);

    layer->setVector(ccp(1, 1)); // towards the upper right
    layer->cornerColors(corners);
    EXPECT_FLOAT_EQ(corners[0].r, 1.0f);
    EXPECT_FLOAT_EQ(corners[3].b, 1.0f);
    EXPECT_FLOAT_EQ(corners[1].r, 0.5f);
    EXPECT_FLOAT_EQ(corners[2].b, 0.5f);

    // Without compression a vertical gradient does not reach its colours at the corners.
    layer->setVector(ccp(0, -1));
    layer->setCompressedInterpolation(false);
    layer->cornerColors(corners);
    EXPECT_GT(corners[0].b, 0.5f);
    EXPECT_LT(corners[0].b, 1.0f);
    EXPECT_FLOAT_EQ(corners[0].b + corners[2].b, 1.0f);

    // The layer's opacity scales both ends.
    layer->setCompressedInterpolation(true);
    layer->setOpacity(51);
    layer->cornerColors(corners);
    EXPECT_FLOAT_EQ(corners[3].a, 0.2f);
    EXPECT_FLOAT_EQ(corners[0].a, 0.2f * 55 / 255);
}
