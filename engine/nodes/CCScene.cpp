#include "engine/nodes/CCScene.h"

#include "engine/director/CCDirector.h"

namespace engine {

CCScene* CCScene::create() {
    auto* scene = new CCScene();
    return autoreleasedIf(scene->init(), scene);
}

bool CCScene::init() {
    ignoreAnchorPointForPosition(true);
    setAnchorPoint(ccp(0.5f, 0.5f));
    setContentSize(CCDirector::sharedDirector()->getWinSize());
    return true;
}

} // namespace engine
