#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"
#include "support/LeakCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;
using gui::UIToolkit;
using gui::UIWidget;

namespace {

UIWidget* named(const std::string& name, int actionTag = 0, int zOrder = 0) {
    UIWidget* widget = UIWidget::create();
    widget->setName(name);
    widget->setActionTag(actionTag);
    widget->setZOrder(zOrder);
    return widget;
}

std::vector<std::string> g_loaded;
int g_readerPurges = 0;
void countReaderPurge() {
    ++g_readerPurges;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCDirector::sharedDirector()->reset();
        UIToolkit::purgeToolkit();
        g_loaded.clear();
        UIToolkit::setSpriteSheetLoader([](const std::string& name) { g_loaded.push_back(name); });
        leaks.start();
    }
    void TearDown() override {
        UIToolkit::setSpriteSheetLoader(nullptr);
        UIToolkit::purgeToolkit();
        CCAutoreleasePool::sharedPool()->drain();
        CCDirector::sharedDirector()->reset();
    }
    testsupport::LeakCheck leaks;
};

using ToolkitSearchTest = ToolkitTest;
using ToolkitSharedStateTest = ToolkitTest;

} // namespace

// --- searches

TEST_F(ToolkitSearchTest, RootComesFirstThenDepthFirstInChildrenOrder) {
    UIWidget* root = named("x", 7);
    UIWidget* a = named("a", 1);
    UIWidget* aChild = named("t", 2);
    UIWidget* b = named("t", 2);
    root->addChild(a);
    a->addChild(aChild);
    root->addChild(b);
    root->addChild(named("x", 7)); // same name and tag as the root
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "x"), root);
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(root, 7), root);
    // Depth first: a's subtree before its later sibling b.
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "t"), aChild);
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(root, 2), aChild);

    // A lower zOrder added later comes first in the children order.
    UIWidget* early = named("t", 2, -1);
    root->addChild(early);
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "t"), early);
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(root, 2), early);
}

TEST_F(ToolkitSearchTest, EqualZOrderSearchFollowsArrivalOrder) {
    UIWidget* root = named("root");
    UIWidget* first = named("twin", 3);
    UIWidget* second = named("twin", 3);
    root->addChild(first);
    root->addChild(second);
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "twin"), first);
    first->setZOrder(1); // moves behind its twin
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "twin"), second);
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(root, 3), second);
}

TEST_F(ToolkitSearchTest, NoMatchOrNoRootGivesNone) {
    UIWidget* root = named("Button");
    root->addChild(named("bn01", 101));
    EXPECT_EQ(UIToolkit::findWidgetByName(nullptr, "Button"), nullptr);
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(nullptr, 0), nullptr);
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "button"), nullptr); // case-sensitive
    EXPECT_EQ(UIToolkit::findWidgetByName(root, "bn0"), nullptr);    // whole name only
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(root, 102), nullptr);
}

TEST_F(ToolkitSearchTest, DeepTreeIsSearchedWithoutRecursion) {
    // Deep enough that one stack frame per level would overflow under the
    // sanitizers.
    constexpr int kDepth = 10000;
    std::vector<CCRef<UIWidget>> chain;
    chain.reserve(kDepth);
    for (int i = 0; i < kDepth; ++i) {
        chain.emplace_back(named(i == kDepth - 1 ? "bottom" : "level", i));
        if (i > 0) chain[i - 1]->addChild(chain[i].get());
    }
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(UIToolkit::findWidgetByName(chain.front().get(), "bottom"), chain.back().get());
    EXPECT_EQ(UIToolkit::findWidgetByActionTag(chain.front().get(), kDepth - 1), chain.back().get());
    EXPECT_EQ(UIToolkit::findWidgetByName(chain.front().get(), "missing"), nullptr);
    for (int i = kDepth - 1; i >= 0; --i)
        chain[i].reset();
}

// --- shared state

TEST_F(ToolkitSharedStateTest, SheetIsHandedToTheEngineOnceUntilPurged) {
    UIToolkit* toolkit = UIToolkit::getInstance();
    toolkit->addSpriteSheet("page1/sheet.plist");
    toolkit->addSpriteSheet("page2/sheet.plist");
    toolkit->addSpriteSheet("page1/sheet.plist");
    toolkit->addSpriteSheet("Page1/sheet.plist"); // another name
    toolkit->addSpriteSheet("");
    EXPECT_EQ(g_loaded,
              (std::vector<std::string>{"page1/sheet.plist", "page2/sheet.plist", "Page1/sheet.plist"}));

    UIToolkit::purgeToolkit();
    EXPECT_FALSE(UIToolkit::hasInstance());
    UIToolkit::getInstance()->addSpriteSheet("page1/sheet.plist");
    EXPECT_EQ(g_loaded.size(), 4u);
    EXPECT_EQ(UIToolkit::getInstance()->getSpriteSheets(), (std::vector<std::string>{"page1/sheet.plist"}));
}

TEST_F(ToolkitSharedStateTest, DesignSizeStartsAtTheWindowSizeAfterEveryPurge) {
    CCSize window = CCDirector::sharedDirector()->getWinSize();
    UIToolkit* toolkit = UIToolkit::getInstance();
    EXPECT_EQ(UIToolkit::getInstance(), toolkit);
    EXPECT_FLOAT_EQ(toolkit->getFileDesignWidth(), window.width);
    EXPECT_FLOAT_EQ(toolkit->getFileDesignHeight(), window.height);
    toolkit->setFileDesignWidth(480);
    toolkit->setFileDesignHeight(320);
    EXPECT_FLOAT_EQ(UIToolkit::getInstance()->getFileDesignWidth(), 480);
    UIToolkit::purgeToolkit();
    EXPECT_FLOAT_EQ(UIToolkit::getInstance()->getFileDesignWidth(), window.width);
    EXPECT_FLOAT_EQ(UIToolkit::getInstance()->getFileDesignHeight(), window.height);
}

TEST_F(ToolkitSharedStateTest, PurgeRunsRegisteredHooksOnceEach) {
    g_readerPurges = 0;
    UIToolkit::addPurgeHook(countReaderPurge);
    UIToolkit::addPurgeHook(countReaderPurge); // kept once
    UIToolkit::getInstance();
    UIToolkit::purgeToolkit();
    EXPECT_EQ(g_readerPurges, 1);
    UIToolkit::purgeToolkit(); // hooks stay registered across purges
    EXPECT_EQ(g_readerPurges, 2);
}
