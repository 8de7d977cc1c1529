#pragma once
// The paging container as layout files use it: a clipping panel whose
// children are ordinary children, never pages (nothing puts a widget into
// the pages), so it turns no pages. What it does do is take the drags of
// its buttons: a finger that moves more than 5 points sideways cancels the
// button's tap.
//
// A touch on the page view itself ends as soon as the finger leaves it; the
// release that the UI layer delivers later is then ignored.
#include "gui/Layout.h"
#include "gui/UIScrollInterface.h"

namespace gui {

class UIPageView : public Layout, public UIScrollInterface {
public:
    UIPageView();
    ~UIPageView() override;
    static UIPageView* create();

    // Ordinary children, as any widget's; removing one also drops it from
    // the pages if it is one.
    bool removeChild(UIWidget* child) override;
    void removeAllChildren() override;
    engine::CCArray* getPages() const { return m_pages.get(); }
    int getCurPageIndex() const { return m_curPageIndex; }

    bool onTouchBegan(const engine::CCPoint& point) override;
    void onTouchMoved(const engine::CCPoint& point) override;
    void onTouchEnded(const engine::CCPoint& point) override;
    void onTouchCancelled(const engine::CCPoint& point) override;
    void onChildTouch(int phase, UIWidget* sender, const engine::CCPoint& point) override;
    // Without pages there is nothing to move or turn.
    void handlePress(const engine::CCPoint& point) override;
    void handleMove(const engine::CCPoint& point) override;
    void handleRelease(const engine::CCPoint& point) override;

    const char* getKindName() const override { return "PageView"; }

protected:
    bool isDragAway(const engine::CCPoint& start, const engine::CCPoint& point) const override;
    bool init() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    int m_curPageIndex = 0;
    engine::CCRef<engine::CCArray> m_pages;
    engine::CCPoint m_touchStartPoint;
    engine::CCPoint m_touchMovePoint;
    float m_childFocusCancelDistance = 5.0f;
    bool m_touchActive = false; // between began and its (first) end
};

} // namespace gui
