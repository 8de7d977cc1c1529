#include "app/AppDelegate.h"

#include "book/ShelfLayer.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"

using namespace engine;

bool AppDelegate::applicationDidFinishLaunching() {
    CCDirector* director = CCDirector::sharedDirector();
    director->setOpenGLView(CCEGLView::sharedOpenGLView());
    CCEGLView::sharedOpenGLView()->setDesignResolutionSize(640, 960, kResolutionExactFit);
    director->setAnimationInterval(1.0 / 60);

    CCScene* scene = CCScene::create();
    engine::CCLayer* layer =
        m_startOnShelf ? static_cast<engine::CCLayer*>(new book::ShelfLayer()) : new book::TestController();
    scene->addChild(layer);
    layer->release();
    director->runWithScene(scene);
    return true;
}

void AppDelegate::applicationDidEnterBackground() {
    CCDirector::sharedDirector()->stopAnimation();
}

void AppDelegate::applicationWillEnterForeground() {
    CCDirector::sharedDirector()->startAnimation();
}
