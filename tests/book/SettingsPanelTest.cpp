// The settings panel: the pending mode and which buttons confirm it, the
// looks of the last two buttons touched, the way back to the page or home,
// and a panel whose layout or buttons are missing.
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/PageLayer.h"
#include "book/SetLayer.h"
#include "book/SmallBook.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCScene.h"
#include "engine/transitions/CCTransitionScene.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "support/HeadlessView.h"
#include "support/RunningChild.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace engine;
using namespace book;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

const char* const kNames[] = {"bnmain", "bnpres", "bnaotopage", "bnaoto", "bnok", "bncancel"};

CCPoint buttonAt(int tag) {
    return CCPoint(320, 860 - 120 * tag);
}

class SettingsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        resetBookState();
        book.writeConfig();
        book.writeInterfaceTexts();
        book.writeHomeLayout();
        book.writeImages();
        book.writePage(1, {{1, {150, 600}, {}}, {2, {450, 600}, {}}});
        subName = "tb";
        pageMax = 5;
        currentPage = 1;
        view.run(CCScene::create());
    }
    void TearDown() override { resetBookState(); }

    // The panel layout with every button but `leaveOut`: light grey normal,
    // dark pressed, green disabled (the selected look).
    void writePanel(const std::string& leaveOut = "") {
        view.writeImage("3age/normal.png", 200, 80, 0xffc8c8c8);
        view.writeImage("3age/pressed.png", 200, 80, 0xff606060);
        view.writeImage("3age/selected.png", 200, 80, 0xff20a020);
        std::ostringstream tree;
        tree << "{\"classname\":\"Panel\",\"options\":{\"name\":\"panel\",\"anchorPointX\":0,"
                "\"anchorPointY\":0,\"width\":640,\"height\":960},"
             << "\"children\":[";
        bool first = true;
        for (int tag = 1; tag <= 6; ++tag) {
            if (leaveOut == kNames[tag - 1]) continue;
            if (!first) tree << ",";
            first = false;
            auto file = [](const char* name) {
                return std::string("{\"resourceType\":0,\"path\":\"") + name + "\"}";
            };
            tree << "{\"classname\":\"Button\",\"children\":[],\"options\":{\"name\":\"" << kNames[tag - 1]
                 << "\",\"touchAble\":true,\"ignoreSize\":true,\"x\":" << buttonAt(tag).x
                 << ",\"y\":" << buttonAt(tag).y << ",\"text\":\"mode\",\"fontSize\":20"
                 << ",\"normalData\":" << file("normal.png") << ",\"pressedData\":" << file("pressed.png")
                 << ",\"disabledData\":" << file("selected.png") << "}}";
        }
        tree << "]}";
        view.resources().write("3age/pageset.json", "{\"version\":\"1.0.0.0\",\"designWidth\":640,"
                                                    "\"designHeight\":960,\"widgetTree\":" +
                                                        tree.str() + "}");
    }
    // A page at currentPage, then the panel opened from it by its key.
    SetLayer* openPanel() {
        TestController::openPageScene();
        view.step();
        PageLayer* page = testsupport::runningChild<PageLayer>();
        EXPECT_NE(page, nullptr);
        if (!page) return nullptr;
        EXPECT_TRUE(page->onPageKey('s'));
        settle();
        return testsupport::runningChild<SetLayer>();
    }
    // Frames until no transition runs any more.
    void settle() {
        for (int i = 0; i < 120; ++i) {
            view.step(1, 0.05f);
            CCScene* running = CCDirector::sharedDirector()->getRunningScene();
            if (running && !running->isTransition() && !CCDirector::sharedDirector()->getNextScene()) return;
        }
        ADD_FAILURE() << "a transition did not end";
    }
    // A press on the button: the panel acts on it at once.
    void press(int tag) {
        HeadlessView::touchBegan(buttonAt(tag));
        HeadlessView::touchEnded(buttonAt(tag));
        view.step();
    }
    static gui::UIButton* button(SetLayer* panel, int tag) {
        return dynamic_cast<gui::UIButton*>(panel->getButton(tag));
    }

    HeadlessView view;
    booktest::SmallBook book{view};
};

} // namespace

TEST_F(SettingsPanelTest, OnlyOkAppliesThePendingModeAndThePageFollowsIt) {
    writePanel();
    SetLayer* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getPendingMode(), 3);

    // Ok at once keeps the mode the panel opened with.
    press(SetLayer::kOk);
    settle();
    ASSERT_NE(testsupport::runningChild<PageLayer>(), nullptr);
    EXPECT_EQ(readingMode, 3);
    EXPECT_TRUE(testsupport::runningChild<PageLayer>()->getPlayItem()->isVisible());

    // Press the words, then ok: the page comes back without the play item.
    panel = openPanel();
    press(SetLayer::kPress);
    EXPECT_EQ(panel->getPendingMode(), 1);
    EXPECT_EQ(readingMode, 3) << "not before ok";
    press(SetLayer::kOk);
    settle();
    EXPECT_EQ(readingMode, 1);
    ASSERT_NE(testsupport::runningChild<PageLayer>(), nullptr);
    EXPECT_FALSE(testsupport::runningChild<PageLayer>()->getPlayItem()->isVisible());
    EXPECT_FALSE(autoPlayOn);

    // Cancel and home leave the mode as it was.
    panel = openPanel();
    press(SetLayer::kRepeatPage);
    press(SetLayer::kCancel);
    settle();
    EXPECT_EQ(readingMode, 1);
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);

    panel = openPanel();
    press(SetLayer::kTurnPages);
    press(SetLayer::kHome);
    view.step();
    EXPECT_EQ(readingMode, 1);
    EXPECT_NE(testsupport::runningChild<TestController>(), nullptr);
}

TEST_F(SettingsPanelTest, ATouchThatGoesOnAfterOkBuildsThePageOnce) {
    writePanel();
    ASSERT_NE(openPanel(), nullptr);
    testsupport::LogCapture log;
    // The press, then frames while the finger stays down: the zero-length
    // flip starts and cancels the touch, which the button hears too.
    HeadlessView::touchBegan(buttonAt(SetLayer::kOk));
    view.step(3);
    HeadlessView::touchMoved(buttonAt(SetLayer::kOk) + CCPoint(2, 0));
    HeadlessView::touchEnded(buttonAt(SetLayer::kOk));
    settle();
    EXPECT_EQ(log.count("Scene 1 onEnter"), 1);
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);
}

TEST_F(SettingsPanelTest, TheLastTouchedShowsSelectedAndTheOneBeforeGoesBack) {
    writePanel();
    SetLayer* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    for (int tag = 1; tag <= 6; ++tag)
        EXPECT_EQ(button(panel, tag)->isBright(), tag != SetLayer::kTurnPages)
            << "at first only the mode in force (3) shows as chosen";
    EXPECT_EQ(button(panel, SetLayer::kTurnPages)->getTitleColor(), SetLayer::kSelectedTitle);

    press(SetLayer::kPress);
    press(SetLayer::kTurnPages);
    gui::UIButton* pres = button(panel, SetLayer::kPress);
    gui::UIButton* aoto = button(panel, SetLayer::kTurnPages);
    EXPECT_TRUE(pres->isBright());
    EXPECT_EQ(pres->getBrightState(), gui::BRIGHT_NORMAL);
    EXPECT_EQ(pres->getTitleColor(), SetLayer::kPreviousTitle);
    EXPECT_FALSE(aoto->isBright());
    EXPECT_EQ(aoto->getTitleColor(), SetLayer::kSelectedTitle);
    EXPECT_EQ(settingsSelection, aoto);

    // Away from the title, the pictures show the looks.
    const CCPoint edge(-90, 30);
    EXPECT_TRUE(isColour(view.at(buttonAt(SetLayer::kPress) + edge), 200, 200, 200));
    EXPECT_TRUE(isColour(view.at(buttonAt(SetLayer::kTurnPages) + edge), 32, 160, 32));
    EXPECT_TRUE(view.matchesReference("settings_panel"));
}

TEST_F(SettingsPanelTest, AMissingLayoutOrButtonIsNamedAndEscapeStillLeaves) {
    testsupport::LogCapture log;
    SetLayer* panel = openPanel(); // no panel layout at all
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(log.contains("3age/pageset.json"));
    EXPECT_TRUE(panel->keyPressed(engine::kKeyEscape));
    settle();
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);

    writePanel("bncancel");
    log.clear();
    panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(log.contains("\"bncancel\""));
    EXPECT_FALSE(panel->keyPressed(engine::kKeyReturn));
    press(SetLayer::kTurnPages);
    EXPECT_TRUE(panel->keyPressed(engine::kKeyEscape));
    settle();
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);
    EXPECT_EQ(readingMode, 3);
}

TEST_F(SettingsPanelTest, TabAndReturnChooseAModeAndOkAsTouchesDo) {
    writePanel();
    SetLayer* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(panel->getFocusRing(), nullptr);
    // Top to bottom: home, press, repeat, turn, ok, cancel; the ring starts on the mode in force.
    EXPECT_TRUE(panel->keyPressed(engine::kKeyTab));
    EXPECT_EQ(panel->getFocusRing()->getFocusedIndex(), 3);
    EXPECT_TRUE(panel->keyPressed(engine::kKeyBackTab));
    EXPECT_TRUE(panel->keyPressed(engine::kKeyBackTab));
    EXPECT_TRUE(panel->keyPressed(engine::kKeyReturn));
    EXPECT_EQ(panel->getPendingMode(), kReadByTouch);
    EXPECT_EQ(settingsSelection, panel->getButton(SetLayer::kPress));
    for (int i = 0; i < 3; ++i)
        panel->keyPressed(engine::kKeyTab);
    EXPECT_TRUE(panel->keyPressed(engine::kKeyReturn)); // ok
    view.step(2);
    EXPECT_EQ(readingMode, kReadByTouch);
    EXPECT_NE(testsupport::runningChild<PageLayer>(), nullptr);
}
