#include "app/ScriptDriver.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/platform/CCEGLView.h"
#include "engine/transitions/CCTransitionScene.h"

namespace app {

using engine::CCDirector;
using engine::CCPoint;

namespace {
// A frame counts as halfway through a scene change within this share of its
// way: both scenes then show, clear of either end.
constexpr float kHalfwayFrom = 0.25f;
constexpr float kHalfwayTo = 0.75f;
} // namespace

void ScriptDriver::beforeFrame(double elapsed) {
    CCDirector* director = CCDirector::sharedDirector();
    engine::CCTouchDispatcher* touches = director->getTouchDispatcher();
    engine::CCEGLView* view = engine::CCEGLView::sharedOpenGLView();
    for (const ScriptEvent& event : m_player.takeDue(elapsed)) {
        CCPoint point(event.x, event.y);
        switch (event.kind) {
        case ScriptEvent::Kind::Down:
            touches->touchBegan(0, point);
            break;
        case ScriptEvent::Kind::Move:
            touches->touchMoved(0, point);
            break;
        case ScriptEvent::Kind::Up:
            touches->touchEnded(0, point);
            break;
        case ScriptEvent::Kind::Key:
            view->dispatchKey(event.text);
            break;
        case ScriptEvent::Kind::Text:
            view->dispatchText(event.text);
            break;
        case ScriptEvent::Kind::Shot:
            m_pendingShots.push_back(event.text);
            break;
        case ScriptEvent::Kind::TurnShot:
            m_waitingTurnShots.push_back(event.text);
            break;
        case ScriptEvent::Kind::Quit:
            director->end();
            break;
        }
    }
}

void ScriptDriver::afterFrame() {
    for (const std::string& file : m_pendingShots)
        save(file);
    m_pendingShots.clear();
    // The frame just drawn is of the scene running now.
    auto* change = dynamic_cast<engine::CCTransitionScene*>(CCDirector::sharedDirector()->getRunningScene());
    const float progress = change ? change->getProgress() : 0.0f;
    if (progress < kHalfwayFrom || progress > kHalfwayTo) return;
    for (const std::string& file : m_waitingTurnShots) {
        engine::CCLog("script: a scene change %.0f %% of its way", progress * 100.0f);
        save(file);
    }
    m_waitingTurnShots.clear();
}

void ScriptDriver::save(const std::string& file) {
    if (engine::CCEGLView::sharedOpenGLView()->saveFrame(file))
        engine::CCLog("script: saved frame to %s", file.c_str());
    else
        ++m_failedShots; // saveFrame has said why
}

} // namespace app
