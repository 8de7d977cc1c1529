#include "book/ScreenChanges.h"

#include "book/BookScene.h"
#include "book/MenuTestScene.h"
#include "book/SetLayer.h"
#include "book/ShelfLayer.h"
#include "book/TestController.h"
#include "book/TestLayer1.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "engine/transitions/CCTransitionZoomFlipY.h"

#include <functional>

using namespace engine;

namespace book::screens {

namespace {

constexpr float kTurnSeconds = 0.5f;
constexpr float kFlipSeconds = 0.5f;

CCDirector* director() {
    return CCDirector::sharedDirector();
}

// Puts `layer` alone in `scene` and runs the scene, through `transition` when
// given. Both arrive holding one reference each, which this gives up.
void run(CCScene* scene, CCLayer* layer, const std::function<CCScene*(CCScene*)>& transition = {}) {
    scene->addChild(layer);
    layer->release();
    director()->replaceScene(transition ? transition(scene) : scene);
    scene->release();
}

CCScene* plainScene() {
    CCScene* scene = CCScene::create();
    scene->retain();
    return scene;
}

} // namespace

void home() {
    run(plainScene(), new TestController());
}

void page() {
    run(BookScene::createOwned(), new TestLayer1());
}

void turnTo(PageLayer* twin, bool backwards) {
    director()->setDepthTest(true);
    run(BookScene::createOwned(), twin,
        [backwards](CCScene* scene) { return CCTransitionPageTurn::create(kTurnSeconds, scene, backwards); });
}

void settings() {
    director()->setDepthTest(false);
    run(BookScene::createOwned(), new SetLayer(), [](CCScene* scene) {
        return CCTransitionZoomFlipY::create(kFlipSeconds, scene, kCCTransitionOrientationDownOver);
    });
}

void pageFromSettings() {
    director()->setDepthTest(false);
    run(BookScene::createOwned(), new TestLayer1(), [](CCScene* scene) {
        return CCTransitionZoomFlipY::create(0.0f, scene, kCCTransitionOrientationDownOver);
    });
}

void pageMenu() {
    MenuTestScene::open();
}

void shelf() {
    run(plainScene(), new ShelfLayer());
}

} // namespace book::screens
