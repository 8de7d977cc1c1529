// Menus: which touches a menu claims, when an item's handler is called, the
// items' looks (checked on pixels) and their sizes.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/base/CCArray.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/menu/CCMenuItemLabel.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCSprite.h"
#include "engine/text/CCLabelTTF.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace engine;
using testsupport::isColour;

namespace {

// Target of the items' handlers: records each sender.
class Receiver : public CCObject {
public:
    void onItem(CCObject* sender) {
        senders.push_back(sender);
        if (then) then(sender);
    }
    std::vector<CCObject*> senders;
    std::function<void(CCObject*)> then;
};

// An ordinary all-at-once layer that notes the touches it gets.
class PlainLayer : public CCLayer {
public:
    static PlainLayer* create() {
        auto* layer = new PlainLayer();
        layer->init();
        layer->autorelease();
        return layer;
    }
    void ccTouchesBegan(CCSet*, CCEvent*) override { ++began; }
    void ccTouchesEnded(CCSet*, CCEvent*) override { ++ended; }
    int began = 0, ended = 0;
};

class MenuTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        testsupport::writePng(resources(), "red.png", 100, 50, 0xffff0000, 0xffff0000);
        testsupport::writePng(resources(), "green.png", 100, 50, 0xff00ff00, 0xff00ff00);
        testsupport::writePng(resources(), "grey.png", 100, 50, 0xff808080, 0xff808080);
        m_receiver = new Receiver();
    }
    void TearDown() override {
        m_receiver->release();
        SceneTest::TearDown();
    }

    // A 100 x 50 image item centred at (x, y) of a menu at the origin.
    CCMenuItemImage* imageItem(float x, float y) {
        auto* item = CCMenuItemImage::create("red.png", "green.png", "grey.png", m_receiver,
                                             menu_selector(Receiver::onItem));
        item->setPosition(x, y);
        return item;
    }
    CCMenu* menuAtOrigin(CCMenuItem* item) {
        CCMenu* menu = CCMenu::create(item, NULL);
        menu->setPosition(0, 0);
        return menu;
    }

    CCTouchDispatcher* touches() { return director()->getTouchDispatcher(); }
    void tap(const CCPoint& down, const CCPoint& up) {
        touches()->touchBegan(0, down);
        touches()->touchEnded(0, up);
    }

    Receiver* m_receiver = nullptr;
};

} // namespace

TEST_F(MenuTest, LiftOverTheItemCallsItsTargetWithTheItemAsSender) {
    CCMenuItemImage* item = imageItem(320, 480);
    show(menuAtOrigin(item));
    EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));

    touches()->touchBegan(0, ccp(300, 470));
    EXPECT_TRUE(item->isSelected());
    drawFrame();
    EXPECT_TRUE(isColour(at(320, 480), 0, 255, 0)) << "selected image while the finger is on it";
    EXPECT_TRUE(m_receiver->senders.empty()) << "nothing happens before the lift";

    touches()->touchMoved(0, ccp(360, 490));
    touches()->touchEnded(0, ccp(360, 490));
    ASSERT_EQ(m_receiver->senders.size(), 1u);
    EXPECT_EQ(m_receiver->senders[0], item);
    EXPECT_FALSE(item->isSelected());
    drawFrame();
    EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));
}

TEST_F(MenuTest, LiftElsewhereOrCancelOnlyUnselects) {
    CCMenuItemImage* first = imageItem(320, 480);
    CCMenuItemImage* second = imageItem(320, 300);
    CCMenu* menu = CCMenu::create(first, second, NULL);
    menu->setPosition(0, 0);
    show(menu);

    // Off the item the look goes back; back on it, selected again.
    touches()->touchBegan(0, ccp(320, 480));
    touches()->touchMoved(0, ccp(500, 480));
    EXPECT_FALSE(first->isSelected());
    drawFrame();
    EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));
    touches()->touchMoved(0, ccp(330, 485));
    EXPECT_TRUE(first->isSelected());
    touches()->touchMoved(0, ccp(500, 480));
    touches()->touchEnded(0, ccp(500, 480));
    EXPECT_TRUE(m_receiver->senders.empty());
    EXPECT_FALSE(first->isSelected());

    // Lifted over another item: neither is called, and the other never shows selected.
    touches()->touchBegan(0, ccp(320, 480));
    touches()->touchMoved(0, ccp(320, 300));
    EXPECT_FALSE(second->isSelected());
    touches()->touchEnded(0, ccp(320, 300));
    EXPECT_TRUE(m_receiver->senders.empty());

    touches()->touchBegan(0, ccp(320, 480));
    touches()->cancelAllTouches();
    EXPECT_FALSE(first->isSelected());
    EXPECT_EQ(menu->getSelectedItem(), nullptr);
    EXPECT_TRUE(m_receiver->senders.empty());

    // The menu is free for the next touch.
    tap(ccp(320, 300), ccp(320, 300));
    ASSERT_EQ(m_receiver->senders.size(), 1u);
    EXPECT_EQ(m_receiver->senders[0], second);
}

TEST_F(MenuTest, DisabledOrInvisibleItemsAndHiddenMenusClaimNothing) {
    CCScene* scene = CCScene::create();
    PlainLayer* layer = PlainLayer::create();
    layer->setTouchEnabled(true);
    scene->addChild(layer);
    CCNode* holder = CCNode::create();
    CCMenuItemImage* item = imageItem(320, 480);
    CCMenu* menu = menuAtOrigin(item);
    holder->addChild(menu);
    scene->addChild(holder);
    director()->runWithScene(scene);
    drawFrame();

    // On the item the menu keeps the touch from the ordinary layer.
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 0);
    EXPECT_EQ(m_receiver->senders.size(), 1u);
    // Off the items the layer gets it.
    tap(ccp(100, 100), ccp(100, 100));
    EXPECT_EQ(layer->began, 1);

    item->setEnabled(false);
    drawFrame();
    EXPECT_TRUE(isColour(at(320, 480), 128, 128, 128)) << "disabled image";
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 2);
    item->setEnabled(true);

    item->setVisible(false);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 3);
    item->setVisible(true);

    menu->setVisible(false);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 4);
    menu->setVisible(true);

    holder->setVisible(false);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 5) << "a hidden ancestor hides the menu too";
    holder->setVisible(true);

    menu->setEnabled(false);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(layer->began, 6);
    menu->setEnabled(true);

    EXPECT_EQ(m_receiver->senders.size(), 1u);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(m_receiver->senders.size(), 2u);
    EXPECT_EQ(layer->began, 6);
}

TEST_F(MenuTest, ItemDisabledOrRemovedDuringTheTouchIsNotCalled) {
    CCMenuItemImage* item = imageItem(320, 480);
    CCMenu* menu = menuAtOrigin(item);
    show(menu);
    touches()->touchBegan(0, ccp(320, 480));
    item->setEnabled(false);
    touches()->touchEnded(0, ccp(320, 480));
    EXPECT_TRUE(m_receiver->senders.empty());
    item->setEnabled(true);

    touches()->touchBegan(0, ccp(320, 480));
    CCRef<CCMenuItemImage> kept(item);
    menu->removeChild(item, true);
    EXPECT_FALSE(item->isSelected());
    EXPECT_EQ(menu->getSelectedItem(), nullptr);
    touches()->touchEnded(0, ccp(320, 480));
    EXPECT_TRUE(m_receiver->senders.empty());
}

TEST_F(MenuTest, TopmostItemWinsAndOneTouchAtATime) {
    CCMenuItemImage* below = imageItem(320, 480);
    CCMenuItemImage* above = imageItem(340, 490);
    CCMenu* menu = CCMenu::create();
    menu->setPosition(0, 0);
    menu->addChild(above, 2);
    menu->addChild(below, 1);
    show(menu);
    touches()->touchBegan(0, ccp(330, 485));
    EXPECT_TRUE(above->isSelected());
    EXPECT_FALSE(below->isSelected());
    // A second finger meanwhile is not the menu's.
    touches()->touchBegan(1, ccp(300, 470));
    EXPECT_FALSE(below->isSelected());
    touches()->touchEnded(1, ccp(300, 470));
    touches()->touchEnded(0, ccp(330, 485));
    ASSERT_EQ(m_receiver->senders.size(), 1u);
    EXPECT_EQ(m_receiver->senders[0], above);
}

TEST_F(MenuTest, ItemScaledToNothingCoversNoPoint) {
    CCMenuItemImage* item = imageItem(320, 480);
    item->setScaleY(0);
    show(menuAtOrigin(item));
    // (50, 25) is inside the item's own rectangle: it must not count as a hit
    // through a made-up inverse of the flattened transform.
    for (CCPoint p : {ccp(320, 480), ccp(50, 25)})
        tap(p, p);
    EXPECT_TRUE(m_receiver->senders.empty());
    item->setScaleY(1);
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(m_receiver->senders.size(), 1u);
}

TEST_F(MenuTest, HandlerMayTakeDownTheMenu) {
    CCMenuItemImage* item = imageItem(320, 480);
    CCMenu* menu = menuAtOrigin(item);
    show(menu);
    // The scene held the only reference to the menu and so to the item.
    m_receiver->then = [&](CCObject*) {
        menu->removeFromParentAndCleanup(true);
        director()->replaceScene(CCScene::create());
    };
    tap(ccp(320, 480), ccp(320, 480));
    EXPECT_EQ(m_receiver->senders.size(), 1u);
    drawFrame();
}

TEST_F(MenuTest, LayerLabelItemTakesTheLayersSizeAndLooks) {
    CCLayerColor* square = CCLayerColor::create(ccc4(255, 0, 0, 255), 140, 140);
    square->setAnchorPoint(ccp(0.5f, 0.5f));
    CCMenuItemLabel* item = CCMenuItemLabel::create(square, m_receiver, menu_selector(Receiver::onItem));
    EXPECT_FLOAT_EQ(item->getContentSize().width, 140);
    EXPECT_FLOAT_EQ(item->getContentSize().height, 140);
    item->setPosition(200, 300);
    show(menuAtOrigin(item));
    // Centred on the item's position.
    EXPECT_TRUE(isColour(at(131, 231), 255, 0, 0));
    EXPECT_TRUE(isColour(at(269, 369), 255, 0, 0));
    EXPECT_TRUE(isColour(at(128, 228), 0, 0, 0));

    // Selected: the square grows about its centre, the touch area does not.
    touches()->touchBegan(0, ccp(200, 300));
    drawFrame();
    EXPECT_TRUE(isColour(at(200 - 74, 300 - 74), 255, 0, 0));
    EXPECT_FLOAT_EQ(item->getContentSize().width, 140);
    touches()->touchMoved(0, ccp(200 + 73, 300));
    EXPECT_FALSE(item->isSelected());
    touches()->touchEnded(0, ccp(200 + 73, 300));
    EXPECT_TRUE(m_receiver->senders.empty());
    drawFrame();
    EXPECT_TRUE(isColour(at(200 - 74, 300 - 74), 0, 0, 0));

    item->setEnabled(false);
    drawFrame();
    EXPECT_TRUE(isColour(at(200, 300), 126, 126, 126)) << "disabled colour";
    // A colour given to the label directly while enabled comes back on enabling.
    item->setEnabled(true);
    square->setColor(ccc3(145, 145, 145));
    item->setEnabled(false);
    item->setEnabled(true);
    drawFrame();
    EXPECT_TRUE(isColour(at(200, 300), 145, 145, 145));
}

TEST_F(MenuTest, FontSizeIsReadWhenAnItemIsCreated) {
    unsigned int saved = CCMenuItemFont::fontSize();
    CCMenuItemFont::setFontSize(20);
    CCMenuItemFont* small = CCMenuItemFont::create("Home", m_receiver, menu_selector(Receiver::onItem));
    CCMenuItemFont::setFontSize(45);
    CCMenuItemFont* large = CCMenuItemFont::create("Home");
    small->setColor(ccc3(0, 0, 255));
    CCMenuItemFont::setFontSize(45);
    EXPECT_EQ(small->fontSizeObj(), 20u);
    EXPECT_EQ(large->fontSizeObj(), 45u);
    auto* smallLabel = dynamic_cast<CCLabelTTF*>(small->getLabel());
    auto* largeLabel = dynamic_cast<CCLabelTTF*>(large->getLabel());
    ASSERT_TRUE(smallLabel && largeLabel);
    EXPECT_FLOAT_EQ(smallLabel->getFontSize(), 20);
    EXPECT_FLOAT_EQ(largeLabel->getFontSize(), 45);
    EXPECT_GT(large->getContentSize().height, small->getContentSize().height * 1.5f);
    // The item's colour reaches its text.
    EXPECT_EQ(smallLabel->getDisplayedColor().b, 255);
    EXPECT_EQ(smallLabel->getDisplayedColor().r, 0);

    testsupport::LogCapture log;
    CCMenuItemFont::setFontSize(0);
    EXPECT_EQ(CCMenuItemFont::fontSize(), 45u);
    EXPECT_EQ(log.count("setFontSize"), 1);

    small->setFontSizeObj(45);
    EXPECT_FLOAT_EQ(small->getContentSize().height, large->getContentSize().height);
    CCMenuItemFont::setFontSize(saved);
}

TEST_F(MenuTest, SetNormalImageReplacesTheImageAndSize) {
    testsupport::writePng(resources(), "blue_wide.png", 200, 60, 0xff0000ff, 0xff0000ff);
    CCMenuItemImage* item = imageItem(320, 480);
    show(menuAtOrigin(item));
    CCNode* old = item->getNormalImage();
    old->retain();
    item->setNormalImage(CCSprite::create("blue_wide.png"));
    EXPECT_EQ(old->getParent(), nullptr);
    old->release();
    EXPECT_FLOAT_EQ(item->getContentSize().width, 200);
    drawFrame();
    EXPECT_TRUE(isColour(at(229, 455), 0, 0, 255));
    EXPECT_TRUE(isColour(at(411, 505), 0, 0, 255));
    // The selected image still shows while pressed.
    touches()->touchBegan(0, ccp(320, 480));
    drawFrame();
    EXPECT_TRUE(isColour(at(300, 470), 0, 255, 0));
    touches()->touchEnded(0, ccp(320, 480));

    // An image that cannot be loaded leaves an empty item, logged, not a crash.
    testsupport::LogCapture log;
    CCMenuItemImage* broken = CCMenuItemImage::create("missing.png", "green.png");
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(log.contains("missing.png"));
    EXPECT_FLOAT_EQ(broken->getContentSize().width, 0);
}

TEST_F(MenuTest, CreateAlignAndRefuseNonItems) {
    CCMenuItem* a = CCMenuItem::create();
    CCMenuItem* b = CCMenuItem::create();
    CCMenuItem* c = CCMenuItem::create();
    a->setContentSize(CCSize(100, 40));
    b->setContentSize(CCSize(60, 20));
    c->setContentSize(CCSize(80, 30));
    CCMenu* menu = CCMenu::create(a, b, c, NULL);
    ASSERT_EQ(menu->getChildrenCount(), 3u);
    EXPECT_EQ(menu->getChildren()[1], b);
    EXPECT_EQ(menu->getPosition(), ccp(320, 480)) << "a new menu sits at the window's centre";

    menu->alignItemsVerticallyWithPadding(10);
    // 40 + 20 + 30 + 2 x 10 = 110 tall, centred: tops at 55, 5, -25.
    EXPECT_FLOAT_EQ(a->getPositionY(), 35);
    EXPECT_FLOAT_EQ(b->getPositionY(), -5);
    EXPECT_FLOAT_EQ(c->getPositionY(), -40);
    EXPECT_FLOAT_EQ(a->getPositionX(), 0);
    menu->alignItemsHorizontally();
    // 100 + 60 + 80 + 2 x 5 = 250 wide.
    EXPECT_FLOAT_EQ(a->getPositionX(), -75);
    EXPECT_FLOAT_EQ(b->getPositionX(), 10);
    EXPECT_FLOAT_EQ(c->getPositionX(), 85);

    testsupport::LogCapture log;
    menu->addChild(CCNode::create());
    EXPECT_EQ(menu->getChildrenCount(), 3u);
    EXPECT_EQ(log.count("only menu items"), 1);

    CCArray* items = CCArray::create(CCMenuItem::create(), CCNode::create(), nullptr);
    CCMenu* fromArray = CCMenu::createWithArray(items);
    EXPECT_EQ(fromArray->getChildrenCount(), 1u);
    EXPECT_EQ(CCMenu::createWithItem(CCMenuItem::create())->getChildrenCount(), 1u);
}
