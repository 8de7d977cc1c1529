#include "book/TestScene.h"

#include "book/BookState.h"
#include "book/ScreenChanges.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemLabel.h"
#include "engine/nodes/CCLayer.h"
#include "engine/text/CCLabelTTF.h"
#include "frame/ScreenFrame.h"

using namespace engine;
using frame::ScreenFrame;

namespace book {

TestScene::TestScene() {
    CCScene::init();
}

TestScene::~TestScene() = default;

void TestScene::onEnter() {
    CCNode::onEnter();

    std::string text = readInterfaceText(interfaceText::kHome).value_or("");
    CCLabelTTF* label = CCLabelTTF::create(text.c_str(), "Arial", 40);
    const double u = (ScreenFrame::right().x - ScreenFrame::left().x) * 0.125;
    CCLayerColor* button =
        CCLayerColor::create(ccc4(250, 243, 242, 199), static_cast<float>(u * 2.3), static_cast<float>(u));
    button->setAnchorPoint(CCPoint(0.5f, 0.5f));
    const CCSize& size = button->getContentSize();
    label->setPosition(CCPoint(size.width / 2, size.height / 2));
    label->setColor(ccc3(9, 0, 1));
    button->addChild(label);

    CCMenuItemLabel* item = CCMenuItemLabel::create(button, this, menu_selector(TestScene::goHome));
    CCMenu* menu = CCMenu::create(item, nullptr);
    menu->setPosition(CCPointZero);
    item->setPosition(CCPoint(ScreenFrame::center().x, static_cast<float>(u * 0.5)));
    addChild(menu, 1);
    m_homeItem = item;
}

void TestScene::goHome(CCObject*) {
    screens::home();
}

} // namespace book
