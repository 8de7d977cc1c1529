#include "app/WelcomeLayer.h"

#include "app/ScreenFrame.h"
#include "engine/base/CCLog.h"
#include "engine/nodes/CCSprite.h"

using namespace engine;
using app::ScreenFrame;

WelcomeLayer::WelcomeLayer() {
    CCLayer::init();
    addChild(CCLayerColor::create(ccc4(250, 240, 215, 255)), -1);
    CCSprite* cover = CCSprite::create("Images/cover.png");
    cover->setPosition(ScreenFrame::center());
    addChild(cover);
    setTouchMode(kCCTouchesOneByOne);
    setTouchEnabled(true);
}

bool WelcomeLayer::ccTouchBegan(CCTouch* touch, CCEvent*) {
    CCPoint p = touch->getLocation();
    CCLog("welcome: touch began at %.0f %.0f", p.x, p.y);
    return true;
}

void WelcomeLayer::ccTouchEnded(CCTouch* touch, CCEvent*) {
    CCPoint p = touch->getLocation();
    CCLog("welcome: touch ended at %.0f %.0f", p.x, p.y);
}
