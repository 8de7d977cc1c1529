#pragma once
// The base of every widget loaded from a layout file.
//
// A widget is not a scene-graph node: it owns one render node (a
// GUIRenderer unless a kind makes another) and mirrors its own widget tree in
// the tree of render nodes. The widget keeps what the node does not know:
// names and tags, enabled/bright/focus state, custom and percentage sizes,
// and the handlers bound to touch phases.
//
// Index (header and source follow the same order):
//   types ............ WidgetTouchEvent, BrightState, WidgetCategory, SizeMode, PositionMode,
//                      handler selectors and their macros
//   creation ......... create, init, initRenderer, destructor, releaseResources
//   tree ............. addChild, removeChild, reorderChild, setZOrder, find helpers
//   render node ...... anchor, scale, flip, colour and opacity, action manager, rotation
//   state and looks .. setEnabled, setBright, setBrightState, setFocused, look hooks
//   sizes ............ setSize, setSizePercent, setIgnoreContentSize, onSizeChanged
//   positions ........ setPosition, setPositionPercent, edges
//   enter and exit ... onEnter, onExit
//   hit testing ...... hitTest, isInsideClippingAncestors
//   touch phases ..... onTouchBegan/Moved/Ended/Cancelled, onChildTouch, handler binders
//   per-frame update . setUpdateEnabled
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/base/ccTypes.h"

#include <concepts>
#include <memory>
#include <string>

namespace engine {
class CCActionManager;
class CCArray;
class CCNode;
class CCRGBAProtocol;
class CCScheduler;
} // namespace engine

namespace gui {

// --- types

// Phase code handed to touch-event handlers; part of the handler contract.
enum WidgetTouchEvent {
    TOUCH_EVENT_BEGAN = 0,
    TOUCH_EVENT_MOVED = 1,
    TOUCH_EVENT_ENDED = 2,    // lifted over the widget
    TOUCH_EVENT_CANCELED = 3, // lifted elsewhere, or cancelled
};

enum BrightState { BRIGHT_NONE = -1, BRIGHT_NORMAL = 0, BRIGHT_HIGHLIGHT = 1 };

// Containers are placed by their lower-left corner, plain widgets by their anchor.
enum WidgetCategory { WIDGET_CATEGORY_PLAIN = 0, WIDGET_CATEGORY_CONTAINER = 1 };

enum SizeMode { SIZE_ABSOLUTE = 0, SIZE_PERCENT = 1 };

enum PositionMode { POSITION_ABSOLUTE = 0, POSITION_PERCENT = 1 };

// Handlers are a target plus one of its member operations. Targets are not
// retained: whoever binds a handler must outlive the widget or unbind it.
using SEL_TouchEvent = void (engine::CCObject::*)(engine::CCObject* sender, int eventType);
using SEL_PushEvent = void (engine::CCObject::*)(engine::CCObject* sender);

#define toucheventselector(_SELECTOR) static_cast<::gui::SEL_TouchEvent>(&_SELECTOR)
#define pusheventselector(_SELECTOR) static_cast<::gui::SEL_PushEvent>(&_SELECTOR)

class UIWidget : public engine::CCObject {
public:
    // A bound handler; an empty target means switched off.
    template <class Selector> struct Handler {
        engine::CCObject* target = nullptr; // not retained
        Selector selector = nullptr;

        void bind(engine::CCObject* newTarget, Selector newSelector) {
            bool on = newTarget && newSelector;
            target = on ? newTarget : nullptr;
            selector = on ? newSelector : nullptr;
        }
        explicit operator bool() const { return target != nullptr; }
    };

    // --- creation
    UIWidget();
    // Runs UIWidget::releaseResources. A kind that overrides releaseResources
    // calls its own from its destructor; running it twice is harmless.
    ~UIWidget() override;
    // A new, initialised, autoreleased widget; none when init fails.
    static UIWidget* create();

    // --- virtual operations, in slot order
    virtual void setEnabled(bool enabled);
    virtual void setTouchEnabled(bool enabled) { m_touchEnabled = enabled; }
    // False, changing nothing, for none, a child already in a tree, this
    // widget itself or one of its ancestors.
    virtual bool addChild(UIWidget* child);
    // False, changing nothing, for none or a widget that is not a child.
    virtual bool removeChild(UIWidget* child);
    virtual void removeFromParent();
    virtual void removeAllChildren();
    virtual void reorderChild(UIWidget* child);
    // Sorted by zOrder, arrival order within equal zOrder; holds UIWidgets only.
    virtual engine::CCArray* getChildren() const { return m_children.get(); }
    virtual void setAnchorPoint(const engine::CCPoint& anchor);
    virtual void setScale(float scale);
    virtual void setScaleX(float scale);
    virtual void setScaleY(float scale);
    virtual void setFlipX(bool /*flip*/) {}
    virtual bool isFlipX() const { return false; }
    virtual void setFlipY(bool /*flip*/) {}
    virtual bool isFlipY() const { return false; }
    virtual void setColor(const engine::ccColor3B& color);
    virtual engine::ccColor3B getColor() const;
    virtual void setOpacity(engine::GLubyte opacity);
    virtual engine::GLubyte getOpacity() const;
    virtual bool isCascadeOpacityEnabled() const;
    virtual void setCascadeOpacityEnabled(bool enabled);
    virtual bool isCascadeColorEnabled() const;
    virtual void setCascadeColorEnabled(bool enabled);
    virtual void setActionManager(engine::CCActionManager* manager);
    virtual engine::CCActionManager* getActionManager() const;
    // A descendant reports a touch phase (0 began, 1 moved, 2 ended); the base
    // passes it on to the parent unchanged so that scrolling containers hear it.
    virtual void onChildTouch(int phase, UIWidget* sender, const engine::CCPoint& point);
    virtual void setSize(const engine::CCSize& size);
    virtual void setSizePercent(const engine::CCPoint& percent);
    // Inclusive on all four edges; `point` is in world coordinates.
    virtual bool hitTest(const engine::CCPoint& point);
    virtual bool onTouchBegan(const engine::CCPoint& point);
    virtual void onTouchMoved(const engine::CCPoint& point);
    virtual void onTouchEnded(const engine::CCPoint& point);
    virtual void onTouchCancelled(const engine::CCPoint& point);
    virtual void onTouchLongClicked(const engine::CCPoint& /*point*/) {}
    virtual void setIgnoreContentSize(bool ignore);
    virtual engine::CCNode* getRenderer() const { return m_renderer.get(); }
    virtual engine::CCSize getContentSize() const { return m_size; }
    virtual const char* getKindName() const { return "Widget"; }
    virtual void onEnter();
    virtual void onExit();
    // Containers that clip their children answer true; isInsideClippingAncestors
    // then tests a touch against their hitTest.
    virtual bool isClippingEnabled() const { return false; }

    // --- non-virtual operations
    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }
    bool isEnabled() const { return m_enabled; }
    bool isTouchEnabled() const { return m_touchEnabled; }
    void setTouchPassedEnabled(bool passed) { m_touchPassedEnabled = passed; }
    bool isTouchPassedEnabled() const { return m_touchPassedEnabled; }
    void setBright(bool bright);
    bool isBright() const { return m_bright; }
    void setFocused(bool focused);
    bool isFocused() const { return m_focused; }
    void setBrightState(BrightState state);
    BrightState getBrightState() const { return m_brightState; }
    void setZOrder(int zOrder);
    int getZOrder() const { return m_zOrder; }
    UIWidget* getParent() const { return m_parent; }
    void setName(const std::string& name) { m_name = name; }
    const std::string& getName() const { return m_name; }
    void setTag(int tag) { m_tag = tag; }
    int getTag() const { return m_tag; }
    void setActionTag(int tag) { m_actionTag = tag; }
    int getActionTag() const { return m_actionTag; }
    WidgetCategory getCategory() const { return m_category; }

    void setPosition(const engine::CCPoint& position);
    engine::CCPoint getPosition() const;
    void setPositionPercent(const engine::CCPoint& percent);
    const engine::CCPoint& getPositionPercent() const { return m_positionPercent; }
    void setPositionMode(PositionMode mode) { m_positionMode = mode; }
    PositionMode getPositionMode() const { return m_positionMode; }
    const engine::CCPoint& getAnchorPoint() const { return m_anchorPoint; }
    float getScaleX() const;
    float getScaleY() const;
    void setRotation(float degrees);
    float getRotation() const;

    const engine::CCSize& getSize() const { return m_size; }
    const engine::CCSize& getCustomSize() const { return m_customSize; }
    bool isIgnoreContentSize() const { return m_ignoreSize; }
    const engine::CCPoint& getSizePercent() const { return m_sizePercent; }
    void setSizeMode(SizeMode mode) { m_sizeMode = mode; }
    SizeMode getSizeMode() const { return m_sizeMode; }
    bool isRunning() const { return m_running; }

    // Edges in the parent's coordinates.
    float getLeftEdge() const;
    float getBottomEdge() const;
    float getRightEdge() const { return getLeftEdge() + m_size.width; }
    float getTopEdge() const { return getBottomEdge() + m_size.height; }

    void setUpdateEnabled(bool enabled);
    bool isUpdateEnabled() const { return m_updateEnabled; }

    // A handle that reads none once the widget is destroyed: for holders
    // that must not keep the widget alive, such as animation tracks.
    using WeakHandle = std::shared_ptr<UIWidget* const>;
    WeakHandle weakHandle();
    static UIWidget* resolve(const WeakHandle& handle) { return handle ? *handle : nullptr; }

    // True when every clipping container above this widget contains `point`.
    bool isInsideClippingAncestors(const engine::CCPoint& point);
    bool isAffectedByClipping() const { return m_affectedByClipping; }

    const engine::CCPoint& getTouchStartPos() const { return m_touchStartPos; }
    const engine::CCPoint& getTouchMovePos() const { return m_touchMovePos; }
    const engine::CCPoint& getTouchEndPos() const { return m_touchEndPos; }

    // Handler binders: a null target (or selector) switches the handler off.
    // The templates take a member of the target's own class, so a selector
    // of an unrelated class does not compile.
    void setTouchEventHandler(engine::CCObject* target, SEL_TouchEvent selector);
    void setPushDownHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setMoveHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setReleaseHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setCancelHandler(engine::CCObject* target, SEL_PushEvent selector);

    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setTouchEventHandler(T* target, void (C::*selector)(engine::CCObject*, int)) {
        setTouchEventHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_TouchEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setPushDownHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setPushDownHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setMoveHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setMoveHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setReleaseHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setReleaseHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setCancelHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setCancelHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }

protected:
    // --- virtual operations, in slot order (continued)
    virtual void onSizeChanged() {}
    virtual bool init();
    // Makes m_renderer (an autoreleased node, held by the member).
    virtual void initRenderer();
    virtual void onNormalLook() {}
    virtual void onPressedLook() {}
    virtual void onDisabledLook() {}
    virtual void releaseResources();

    // Two-phase creation shared by every kind: allocate, init, autorelease;
    // a failed init destroys the object and answers none.
    template <class W> static W* createWidget() {
        W* widget = new W();
        // Through the base: a kind may keep its init protected.
        return engine::autoreleasedIf(static_cast<UIWidget*>(widget)->init(), widget);
    }

    // Handler calls for kinds that replace a touch phase. Each copies the
    // binding first, so a handler may rebind or unbind itself.
    void callTouchEventHandler(int eventType);
    void callPushDownHandler();
    void callMoveHandler();
    void callReleaseHandler();
    void callCancelHandler();

    // Fields in declaration order.
    bool m_enabled = true;
    bool m_visible = true;
    bool m_bright = true;
    bool m_touchEnabled = false;
    bool m_touchPassedEnabled = false;
    bool m_focused = false;
    int m_zOrder = 0;
    engine::CCPoint m_anchorPoint{0.5f, 0.5f};
    UIWidget* m_parent = nullptr; // not retained
    BrightState m_brightState = BRIGHT_NONE;
    bool m_updateEnabled = false;
    engine::CCRef<engine::CCNode> m_renderer;
    engine::CCPoint m_touchStartPos;
    engine::CCPoint m_touchMovePos;
    engine::CCPoint m_touchEndPos;
    Handler<SEL_TouchEvent> m_touchEventHandler;
    int m_tag = -1;
    std::string m_name = "default";
    WidgetCategory m_category = WIDGET_CATEGORY_PLAIN;
    int m_actionTag = 0;
    engine::CCSize m_size;
    engine::CCSize m_customSize;
    bool m_ignoreSize = false;
    engine::CCRef<engine::CCArray> m_children;
    bool m_affectedByClipping = false;
    engine::CCRef<engine::CCScheduler> m_scheduler;
    SizeMode m_sizeMode = SIZE_ABSOLUTE;
    engine::CCPoint m_sizePercent;
    PositionMode m_positionMode = POSITION_ABSOLUTE;
    engine::CCPoint m_positionPercent;
    bool m_running = false;
    Handler<SEL_PushEvent> m_pushDownHandler;
    Handler<SEL_PushEvent> m_moveHandler;
    Handler<SEL_PushEvent> m_releaseHandler;
    Handler<SEL_PushEvent> m_cancelHandler;

private:
    // Shared with every weak handle; points at this widget until it dies.
    std::shared_ptr<UIWidget*> m_lifeToken;

    void insertChildByZOrder(UIWidget* child);
    void releaseChildrenForTeardown();
    void detachAllRenderNodes();
    engine::CCSize parentSize() const;
    // (a ÷ b) per axis; an axis of zero parent length gives 0, not inf or NaN.
    static engine::CCPoint ratio(float x, float y, const engine::CCSize& of);
    static void unscheduleSubtreeUpdates(UIWidget* root);
    engine::CCRGBAProtocol* rgbaRenderer() const;
};

} // namespace gui
