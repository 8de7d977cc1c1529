#include "book/MenuTestScene.h"

#include "book/MenuLayerMainMenu.h"
#include "engine/director/CCDirector.h"

using namespace engine;

namespace book {

void MenuTestScene::open() {
    CCDirector::sharedDirector()->purgeCachedData();
    auto* scene = new MenuTestScene();
    scene->present();
    scene->release();
}

void MenuTestScene::present() {
    addChild(autoreleased(new MenuLayerMainMenu()), 0);
    CCDirector::sharedDirector()->replaceScene(this);
}

} // namespace book
