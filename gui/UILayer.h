#pragma once
// The engine layer that shows a widget tree and routes touches into it.
//
// A screen creates one, adds it to its own layer, gives it the tree read
// from a layout file with addWidget and binds handlers to the widgets it
// finds under getRootWidget. The root widget runs from init on, so a tree
// added under it is entered (and its percentages resolved) at once. Touches
// come one at a time, at the engine's default priority, from onEnter to
// onExit; a touch over no touchable widget is not claimed and stays with
// the engine's other handlers.
#include "engine/nodes/CCLayer.h"

#include <memory>

namespace gui {

class UIRootWidget;
class UITouchRouter;
class UIWidget;

class UILayer : public engine::CCLayer {
public:
    ~UILayer() override;
    // A new, initialised, autoreleased layer; none when init fails.
    static UILayer* create();

    bool init() override;
    void setVisible(bool visible) override;
    void onEnter() override;
    void onExit() override;

    bool ccTouchBegan(engine::CCTouch* touch, engine::CCEvent* event) override;
    void ccTouchMoved(engine::CCTouch* touch, engine::CCEvent* event) override;
    void ccTouchEnded(engine::CCTouch* touch, engine::CCEvent* event) override;
    void ccTouchCancelled(engine::CCTouch* touch, engine::CCEvent* event) override;

    // Removes every widget from the root.
    virtual void clear();
    // Takes the layer out of its parent, with clean-up.
    virtual void dispose();

    void addWidget(UIWidget* widget);
    UIRootWidget* getRootWidget() const { return m_rootWidget.get(); }
    UITouchRouter* getTouchRouter() const { return m_touchRouter.get(); }

protected:
    UILayer();

private:
    engine::CCRef<UIRootWidget> m_rootWidget;
    std::unique_ptr<UITouchRouter> m_touchRouter;
};

} // namespace gui
