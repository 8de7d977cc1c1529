#pragma once
// The running scene's first child of a kind: the screen a test is looking at.
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"

namespace testsupport {

template <class T> T* runningChild() {
    engine::CCScene* scene = engine::CCDirector::sharedDirector()->getRunningScene();
    if (!scene) return nullptr;
    for (engine::CCNode* child : scene->getChildren())
        if (auto* found = dynamic_cast<T*>(child)) return found;
    return nullptr;
}

} // namespace testsupport
