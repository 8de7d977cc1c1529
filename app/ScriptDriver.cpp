#include "app/ScriptDriver.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/platform/CCEGLView.h"

namespace app {

using engine::CCDirector;
using engine::CCPoint;

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
        case ScriptEvent::Kind::Quit:
            director->end();
            break;
        }
    }
}

void ScriptDriver::afterFrame() {
    engine::CCEGLView* view = engine::CCEGLView::sharedOpenGLView();
    for (const std::string& file : m_pendingShots) {
        if (view->saveFrame(file))
            engine::CCLog("script: saved frame to %s", file.c_str());
        else
            ++m_failedShots; // saveFrame has said why
    }
    m_pendingShots.clear();
}

} // namespace app
