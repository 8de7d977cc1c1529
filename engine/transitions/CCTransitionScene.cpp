#include "engine/transitions/CCTransitionScene.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

#include <algorithm>
#include <cmath>

namespace engine {

CCTransitionScene::~CCTransitionScene() = default;

CCTransitionScene* CCTransitionScene::create(float duration, CCScene* scene) {
    auto* transition = new CCTransitionScene();
    return autoreleasedIf(transition->initWithDuration(duration, scene), transition);
}

bool CCTransitionScene::initWithDuration(float duration, CCScene* scene) {
    if (!scene) {
        CCLog("CCTransitionScene: no incoming scene given");
        return false;
    }
    CCDirector* director = CCDirector::sharedDirector();
    if (scene == director->getRunningScene() || scene->isRunning()) {
        CCLog("CCTransitionScene: the incoming scene is already running");
        return false;
    }
    if (!CCScene::init()) return false;
    // A negative or NaN length would never end: treat it as zero.
    m_duration = duration > 0.0f ? duration : 0.0f;
    m_inScene = scene;
    m_outScene = director->getRunningScene();
    // The first scene of all has nothing to leave: an empty one stands in.
    if (!m_outScene) m_outScene = CCScene::create();
    return true;
}

void CCTransitionScene::onEnter() {
    CCScene::onEnter();
    CCDirector::sharedDirector()->getTouchDispatcher()->setDispatchEvents(false);
    if (m_outScene->isRunning()) m_outScene->onExitTransitionDidStart();
    m_inScene->onEnter();
    schedule(schedule_selector(CCTransitionScene::step));
}

void CCTransitionScene::step(float dt) {
    m_elapsed += dt;
    if (m_elapsed >= m_duration) finish();
}

float CCTransitionScene::getProgress() const {
    if (m_duration <= 0.0f) return 1.0f;
    return std::clamp(m_elapsed / m_duration, 0.0f, 1.0f);
}

void CCTransitionScene::finish() {
    if (m_finished) return;
    CCDirector* director = CCDirector::sharedDirector();
    // Not ours to hand over: another scene took over, or waits to.
    if (director->getRunningScene() != this || director->getNextScene()) return;
    m_finished = true;
    m_elapsed = std::max(m_elapsed, m_duration);
    unschedule(schedule_selector(CCTransitionScene::step));
    director->replaceScene(m_inScene.get());
}

void CCTransitionScene::onExit() {
    CCScene::onExit();
    // The director makes the next scene the running one before the old one
    // exits: the incoming scene runs on only when it is that scene.
    bool handedOver = CCDirector::sharedDirector()->getRunningScene() == m_inScene;
    if (m_outScene->isRunning()) {
        m_outScene->onExit();
        m_outScene->cleanup();
    }
    if (handedOver) {
        m_inScene->onEnterTransitionDidFinish();
    } else if (m_inScene->isRunning()) {
        m_inScene->onExitTransitionDidStart();
        m_inScene->onExit();
        m_inScene->cleanup();
    }
    CCDirector::sharedDirector()->getTouchDispatcher()->setDispatchEvents(true);
}

void CCTransitionScene::cleanup() {
    CCScene::cleanup();
    unschedule(schedule_selector(CCTransitionScene::step));
}

void CCTransitionScene::draw() {
    m_outScene->visit();
    m_inScene->visit();
}

CCTexture2D* CCTransitionScene::snapshot(CCScene* scene, CCRef<CCTexture2D>& target) {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return nullptr;
    if (!target) {
        CCSize size = CCDirector::sharedDirector()->getWinSize();
        const CCScreenMapping& screen = renderer->getScreenMapping();
        int wide = std::max(1, static_cast<int>(std::lround(size.width * screen.scaleX)));
        int high = std::max(1, static_cast<int>(std::lround(size.height * screen.scaleY)));
        target = CCTexture2D::createRenderTarget(wide, high, size);
        if (!target) return nullptr;
    }
    if (!renderer->beginTarget(target.get())) return nullptr;
    renderer->clear({0, 0, 0, 255});
    scene->visit();
    renderer->endTarget();
    return target.get();
}

void CCTransitionScene::flatGrid(int columns, int rows, std::vector<CCVertex>& vertices,
                                 std::vector<int>& indices) {
    CCSize size = CCDirector::sharedDirector()->getWinSize();
    vertices.clear();
    indices.clear();
    for (int row = 0; row <= rows; ++row) {
        float fy = static_cast<float>(row) / rows;
        for (int column = 0; column <= columns; ++column) {
            float fx = static_cast<float>(column) / columns;
            CCVertex v;
            v.position = {size.width * fx, size.height * fy};
            v.u = fx;
            v.v = 1.0f - fy;
            vertices.push_back(v);
        }
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            int lowerLeft = row * (columns + 1) + column;
            int upperLeft = lowerLeft + columns + 1;
            for (int index : {lowerLeft, lowerLeft + 1, upperLeft, upperLeft, lowerLeft + 1, upperLeft + 1})
                indices.push_back(index);
        }
    }
}

} // namespace engine
