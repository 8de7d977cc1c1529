// Page navigation: page turns, swipe, hint, play/pause, auto-play, home,
// settings and page keys. Until page turning and auto-play are built the
// buttons only say that they were pressed; home already works.
#include "book/BookScene.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/TestController.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/text/CCLabelTTF.h"

using namespace engine;

namespace book {

void PageLayer::goPreviousPage(CCObject*) {
    CCLog("page %d: previous page not available yet", currentPage);
}

void PageLayer::goNextPage(CCObject*) {
    CCLog("page %d: next page not available yet", currentPage);
}

void PageLayer::togglePlay(CCObject*) {
    CCLog("page %d: play not available yet", currentPage);
}

void PageLayer::goHome(CCObject*) {
    autoPlayOn = false;
    unscheduleAllSelectors();
    CCScene* scene = CCScene::create();
    auto* home = new TestController();
    scene->addChild(home);
    home->release();
    CCDirector::sharedDirector()->replaceScene(scene);
}

void PageLayer::openSettings(CCObject*) {
    CCLog("page %d: settings not available yet", currentPage);
}

void PageLayer::switchPageScene() {
    CCLog("page %d: page turns not available yet", currentPage);
}

void PageLayer::ccTouchesBegan(CCSet*, CCEvent*) {}

void PageLayer::ccTouchesMoved(CCSet*, CCEvent*) {}

void PageLayer::autoPlayStep(float) {
    unschedule(schedule_selector(PageLayer::autoPlayStep));
}

void PageLayer::hideHint(float) {
    if (hintLabel) hintLabel->setVisible(false);
}

bool PageLayer::onPageKey(int) {
    return false;
}

} // namespace book
