// UI animations read from layout files: storage per file, the key frames of
// each kind and their defaults, the built actions, seeking, playback, and a
// played animation sampled frame by frame on screen.
#include "engine/actions/CCSequence.h"
#include "engine/actions/CCSpawn.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UILayer.h"
#include "gui/UIToolkit.h"
#include "gui/action/ActionFadeFrame.h"
#include "gui/action/ActionManager.h"
#include "gui/action/ActionMoveFrame.h"
#include "gui/action/ActionNode.h"
#include "gui/action/ActionObject.h"
#include "gui/action/ActionScaleFrame.h"
#include "gui/action/ActionTintFrame.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <string>

using namespace engine;
using gui::ActionManager;
using gui::ActionNode;
using gui::ActionObject;
using gui::UIWidget;
using testsupport::isColour;
using testsupport::LogCapture;

namespace {

// A root panel holding a 100 x 100 red panel (action tag 7) at (0, 0) and
// the given animation section.
std::string layoutWith(const std::string& animation) {
    return R"({"version": "1.0.0.0", "designWidth": 640, "designHeight": 960,
      "widgetTree": {"classname": "Panel", "options": {"width": 640, "height": 960, "anchorPointX": 0, "anchorPointY": 0}, "children": [
        {"classname": "Panel", "options": {"name": "box", "actiontag": 7, "width": 100, "height": 100,
           "colorType": 1, "bgColorR": 255, "bgColorOpacity": 255, "anchorPointX": 0, "anchorPointY": 0}}]},
      "animation": )" +
           animation + "}";
}

class ActionTest : public testsupport::SceneTest {
protected:
    void TearDown() override {
        if (kept) kept->release();
        kept = nullptr;
        ActionManager::purge();
        gui::UIToolkit::purgeToolkit();
    }
    UIWidget* read(const std::string& animation, const std::string& fileName = "pages/page1.json") {
        UIWidget* root = gui::LayoutReader::instance()->readLayoutData(layoutWith(animation), fileName);
        if (root) root->retain(); // kept for the test, as a layer would
        kept = root;
        return root;
    }
    static ActionNode* track(const std::string& file, int animation = 0, int track = 0) {
        auto* object = static_cast<ActionObject*>(
            ActionManager::instance()->getAnimations(file)->objectAtIndex(animation));
        return static_cast<ActionNode*>(object->getActionNodes()->objectAtIndex(track));
    }

    UIWidget* kept = nullptr;
};

const char* kMoveAnimation = R"({"actionlist": [{"name": "slide", "loop": false, "unittime": 0.1,
    "actionnodelist": [{"ActionTag": 7, "actionframelist": [
      {"frameid": 0, "positionx": 0, "positiony": 0},
      {"frameid": 10, "positionx": 100, "positiony": 0},
      {"frameid": 30, "positionx": 300, "positiony": 200}]}]}]})";

} // namespace

TEST_F(ActionTest, AnimationsAreKeptUnderTheFileNameAfterItsLastSlash) {
    read(kMoveAnimation, "mainpage/mainpage_1.json");
    CCArray* first = ActionManager::instance()->getAnimations("mainpage_1.json");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->count(), 1u);
    EXPECT_NE(ActionManager::instance()->getAnimation("mainpage_1.json", "slide"), nullptr);
    EXPECT_EQ(ActionManager::instance()->getAnimation("mainpage_1.json", "other"), nullptr);

    kept->release();
    kept = nullptr;
    read(R"({})", "other/mainpage_1.json"); // same last part: replaces, here with nothing
    EXPECT_EQ(ActionManager::instance()->getAnimations("mainpage_1.json")->count(), 0u);
    EXPECT_EQ(ActionManager::fileKey("a\\b.json"), "a\\b.json"); // only "/" separates

    ActionManager::purge();
    EXPECT_FALSE(ActionManager::hasInstance());
    EXPECT_EQ(ActionManager::instance()->getAnimations("mainpage_1.json"), nullptr);
}

TEST_F(ActionTest, KeyFrameEntriesYieldOneFrameOfEachKindWhoseFirstKeyIsPresent) {
    read(R"({"actionlist": [
      {"name": "a", "loop": 1, "actionnodelist": [{"ActionTag": 7, "actionframelist": [
        {"frameid": 20, "positionx": 5, "opacity": 300, "colorr": 300},
        {"frameid": 10, "scalex": 2},
        {"frameid": 5, "rotation": 90, "colorg": 9}]}]},
      {"loop": true, "unittime": 0.5}]})");
    auto* first =
        static_cast<ActionObject*>(ActionManager::instance()->getAnimations("page1.json")->objectAtIndex(0));
    EXPECT_FALSE(first->getLoop());     // a number is not a boolean
    EXPECT_EQ(first->getUnitTime(), 0); // absent: every step lasts no time
    auto* second =
        static_cast<ActionObject*>(ActionManager::instance()->getAnimations("page1.json")->objectAtIndex(1));
    EXPECT_TRUE(second->getLoop());
    EXPECT_EQ(second->getName(), "");
    EXPECT_EQ(second->getUnitTime(), 0.5f);

    ActionNode* node = track("page1.json");
    EXPECT_EQ(node->getTarget(), gui::UIToolkit::findWidgetByName(kept, "box"));
    auto frame = [node](int type, unsigned int i) {
        return static_cast<gui::ActionFrame*>(node->getFrames(type)->objectAtIndex(i));
    };
    ASSERT_EQ(node->getFrames(gui::ACTION_FRAME_MOVE)->count(), 1u);
    ASSERT_EQ(node->getFrames(gui::ACTION_FRAME_FADE)->count(), 1u);
    ASSERT_EQ(node->getFrames(gui::ACTION_FRAME_TINT)->count(), 1u);
    ASSERT_EQ(node->getFrames(gui::ACTION_FRAME_SCALE)->count(), 1u);
    ASSERT_EQ(node->getFrames(gui::ACTION_FRAME_ROTATION)->count(), 1u);
    EXPECT_EQ(frame(gui::ACTION_FRAME_MOVE, 0)->getFrameIndex(), 20);
    EXPECT_EQ(frame(gui::ACTION_FRAME_FADE, 0)->getFrameIndex(), 20);
    EXPECT_EQ(frame(gui::ACTION_FRAME_TINT, 0)->getFrameIndex(), 20);
    EXPECT_EQ(static_cast<gui::ActionMoveFrame*>(frame(gui::ACTION_FRAME_MOVE, 0))->getPosition(),
              CCPoint(5, 0));
    EXPECT_EQ(static_cast<gui::ActionFadeFrame*>(frame(gui::ACTION_FRAME_FADE, 0))->getTargetOpacity(), 44);
    EXPECT_EQ(static_cast<gui::ActionTintFrame*>(frame(gui::ACTION_FRAME_TINT, 0))->getColor().r, 44);
    EXPECT_EQ(static_cast<gui::ActionScaleFrame*>(frame(gui::ACTION_FRAME_SCALE, 0))->getScaleY(), 0);
    EXPECT_EQ(node->getFrames(gui::ACTION_FRAME_TINT)->count(), 1u); // "colorg" alone makes no tint
}

TEST_F(ActionTest, FramesKeepFileOrderAndBuildOneStepPerFollowingFrame) {
    read(kMoveAnimation);
    ActionNode* node = track("page1.json");
    ASSERT_NE(node->getBuiltAction(), nullptr);
    EXPECT_FLOAT_EQ(node->getBuiltAction()->getDuration(), 3.0f); // steps of 1 s and 2 s

    kept->release();
    kept = nullptr;
    read(R"({"actionlist": [{"unittime": 0.1, "actionnodelist": [{"ActionTag": 7, "actionframelist": [
        {"frameid": 30, "positionx": 1}, {"frameid": 10, "positionx": 2}, {"frameid": 0, "positionx": 3}]},
        {"ActionTag": 99, "actionframelist": [{"frameid": 0, "positionx": 1}, {"frameid": 5, "positionx": 2}]}]}]})");
    node = track("page1.json");
    CCArray* moves = node->getFrames(gui::ACTION_FRAME_MOVE);
    EXPECT_EQ(static_cast<gui::ActionFrame*>(moves->objectAtIndex(0))->getFrameIndex(), 30);
    EXPECT_EQ(static_cast<gui::ActionFrame*>(moves->objectAtIndex(2))->getFrameIndex(), 0);
    EXPECT_EQ(node->getBuiltAction()->getDuration(), 0); // backwards steps take no time
    // No widget carries tag 99: nothing is built, and playing does nothing.
    ActionNode* unbound = track("page1.json", 0, 1);
    EXPECT_EQ(unbound->getTarget(), nullptr);
    EXPECT_EQ(unbound->getBuiltAction(), nullptr);
    unbound->play(true);
    EXPECT_EQ(unbound->getPlayedAction(), nullptr);
}

TEST_F(ActionTest, SeekingSetsTheWidgetAtBetweenAndBeforeFrames) {
    read(R"({"actionlist": [{"unittime": 0.1, "actionnodelist": [{"ActionTag": 7, "actionframelist": [
        {"frameid": 10, "positionx": 100, "positiony": 0},
        {"frameid": 30, "positionx": 300, "positiony": 200}]}]}]})");
    ActionNode* node = track("page1.json");
    UIWidget* box = node->getTarget();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(node->updateToTime(3.0f));
    EXPECT_EQ(box->getPosition(), CCPoint(300, 200));
    EXPECT_TRUE(node->updateToTime(1.5f)); // a quarter of the way from frame 10 to 30
    EXPECT_NEAR(box->getPosition().x, 150, 0.01f);
    EXPECT_NEAR(box->getPosition().y, 50, 0.01f);
    EXPECT_FALSE(node->updateToTime(0.5f)); // before the first frame: set to it, not found
    EXPECT_EQ(box->getPosition(), CCPoint(100, 0));
    EXPECT_FALSE(node->updateToTime(9.0f)); // after the last: nothing done
    EXPECT_EQ(box->getPosition(), CCPoint(100, 0));
}

TEST_F(ActionTest, ColourFramesOnAPanelTintAndFadeItsBackgroundImage) {
    read(R"({"actionlist": [{"unittime": 0.1, "actionnodelist": [{"ActionTag": 7, "actionframelist": [
        {"frameid": 0, "colorr": 255, "colorg": 255, "colorb": 255, "opacity": 255},
        {"frameid": 10, "colorr": 0, "colorg": 100, "colorb": 200, "opacity": 0}]}]}]})");
    ActionNode* node = track("page1.json");
    auto* box = static_cast<gui::Layout*>(node->getTarget());
    box->setBackgroundImage(screen.writeImage("box.png", 10, 10, 0xffffffff));
    ASSERT_NE(box->getBackgroundImage(), nullptr);
    box->setColor({255, 255, 255});
    EXPECT_TRUE(node->updateToTime(0.5f));
    EXPECT_EQ(box->getBackgroundImage()->getColor().r, 127);
    EXPECT_EQ(box->getBackgroundImage()->getColor().g, 177);
    EXPECT_EQ(box->getBackgroundImage()->getOpacity(), 127);
    EXPECT_TRUE(node->updateToTime(1.0f));
    EXPECT_EQ(box->getBackgroundImage()->getColor().b, 200);
    EXPECT_EQ(box->getBackgroundImage()->getOpacity(), 0);
}

TEST_F(ActionTest, AWidgetFreedWhileItsAnimationIsKeptIsNotTouched) {
    read(kMoveAnimation);
    ActionNode* node = track("page1.json");
    UIWidget* box = node->getTarget();
    ASSERT_NE(box, nullptr);
    box->removeFromParent(); // its last owner, once the frame's pool is drained
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(node->getTarget(), nullptr);
    EXPECT_EQ(node->getTargetNode(), nullptr);
    node->updateToTime(1.0f);
    EXPECT_TRUE(ActionManager::instance()->playAnimation("page1.json", "slide"));
    EXPECT_TRUE(ActionManager::instance()->stopAnimation("page1.json", "slide"));
}

TEST_F(ActionTest, PlayedAnimationMovesTheWidgetFrameByFrameAndStops) {
    UIWidget* root = read(kMoveAnimation);
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(root);
    screen.show(layer);
    UIWidget* box = gui::UIToolkit::findWidgetByName(root, "box");
    EXPECT_TRUE(isColour(screen.at(50, 50), 255, 0, 0));

    LogCapture log;
    EXPECT_FALSE(ActionManager::instance()->playAnimation("page1.json", "nothing"));
    EXPECT_TRUE(log.contains("no animation \"nothing\""));
    ASSERT_TRUE(ActionManager::instance()->playAnimation("page1.json", "slide"));
    // Playing again replaces the running action instead of adding one.
    ASSERT_TRUE(ActionManager::instance()->playAnimation("page1.json", "slide"));
    EXPECT_EQ(box->getRenderer()->numberOfRunningActions(), 1u);

    screen.step(31); // the first frame counts as time 0: 0.5 s in
    EXPECT_NEAR(box->getPosition().x, 50, 0.5f);
    EXPECT_TRUE(isColour(screen.at(145, 50), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(155, 50), 0, 0, 0));
    screen.step(30); // 1 s: the first key frame's place
    EXPECT_NEAR(box->getPosition().x, 100, 0.5f);
    screen.step(30); // 1.5 s: a quarter of the second step
    screen.save("animation_sampled");
    EXPECT_NEAR(box->getPosition().x, 150, 0.5f);
    EXPECT_NEAR(box->getPosition().y, 50, 0.5f);
    EXPECT_TRUE(isColour(screen.at(245, 145), 255, 0, 0));
    EXPECT_TRUE(isColour(screen.at(255, 145), 0, 0, 0));

    ActionManager::instance()->stopAnimation("page1.json", "slide");
    CCPoint stopped = box->getPosition();
    screen.step(10);
    EXPECT_EQ(box->getPosition(), stopped);
    EXPECT_EQ(box->getRenderer()->numberOfRunningActions(), 0u);
}
