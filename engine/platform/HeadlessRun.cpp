#include "engine/platform/HeadlessRun.h"

#include "engine/audio/SimpleAudioEngine.h"
#include "engine/audio/TestAudioBackend.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCClock.h"
#include "engine/platform/CCEGLView.h"

#include <memory>

namespace engine {

void HeadlessRun::chooseOffscreenView() {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->close();
    view->setHeadless(true);
}

bool HeadlessRun::openView(const CCSize& frame, const CCSize& design) {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    chooseOffscreenView();
    view->setFullscreen(false);
    view->setFrameSize(frame.width, frame.height);
    view->setDesignResolutionSize(design.width, design.height, kResolutionExactFit);
    const bool open = view->open();
    CCDirector* director = CCDirector::sharedDirector();
    director->reset();
    director->setOpenGLView(view);
    return open;
}

void HeadlessRun::startVirtualTime() {
    CCClock::setVirtual(true);
    SimpleAudioEngine::sharedEngine()->setBackend(std::make_unique<TestAudioBackend>());
}

void HeadlessRun::endVirtualTime() {
    SimpleAudioEngine::end();
    CCClock::setVirtual(false);
}

} // namespace engine
