#include "book/BookScene.h"

#include "gui/UIToolkit.h"
#include "gui/action/ActionManager.h"

namespace book {

BookScene* BookScene::createOwned() {
    auto* scene = new BookScene();
    scene->CCScene::init();
    return scene;
}

void BookScene::onExit() {
    purgeSharedWidgetObjects();
    CCScene::onExit();
}

void BookScene::purgeSharedWidgetObjects() {
    if (gui::UIToolkit::hasInstance()) gui::UIToolkit::purgeToolkit();
    gui::ActionManager::purge();
}

} // namespace book
