#pragma once
// Puts `scene` on screen as the running scene (replacing one that runs) and
// draws its first frame, as the benchmarks of whole screens start.
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"

inline void showScene(engine::CCScene* scene) {
    engine::CCDirector* director = engine::CCDirector::sharedDirector();
    if (director->getRunningScene())
        director->replaceScene(scene);
    else
        director->runWithScene(scene);
    director->stepFrame(1.0f / 60);
}
