#include "frame/ScreenFrame.h"

#include "engine/platform/CCEGLView.h"

namespace frame {

using engine::CCPoint;
using engine::CCRect;

namespace {
// Empty while width and height are both exactly zero.
float g_originX = 0, g_originY = 0, g_width = 0, g_height = 0;
} // namespace

void ScreenFrame::fillIfEmpty() {
    if (g_width != 0.0f || g_height != 0.0f) return;
    engine::CCEGLView* view = engine::CCEGLView::sharedOpenGLView();
    CCPoint origin = view->getVisibleOrigin();
    g_originX = origin.x;
    g_originY = origin.y;
    engine::CCSize size = view->getVisibleSize();
    g_width = size.width;
    g_height = size.height;
}

CCRect ScreenFrame::visibleRect() {
    fillIfEmpty();
    return CCRect(g_originX, g_originY, g_width, g_height);
}

CCPoint ScreenFrame::left() {
    fillIfEmpty();
    return CCPoint(g_originX, g_originY + g_height * 0.5f);
}

CCPoint ScreenFrame::right() {
    fillIfEmpty();
    return CCPoint(g_originX + g_width, g_originY + g_height * 0.5f);
}

CCPoint ScreenFrame::top() {
    fillIfEmpty();
    return CCPoint(g_originX + g_width * 0.5f, g_originY + g_height);
}

CCPoint ScreenFrame::bottom() {
    fillIfEmpty();
    return CCPoint(g_originX + g_width * 0.5f, g_originY);
}

CCPoint ScreenFrame::center() {
    fillIfEmpty();
    return CCPoint(g_originX + g_width * 0.5f, g_originY + g_height * 0.5f);
}

} // namespace frame
