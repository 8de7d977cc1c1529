#include "gui/UICheckBox.h"

#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace gui {

using engine::CCPoint;

namespace {
void show(const TextureSlot& slot, bool shown) {
    if (slot.node()) slot.node()->setVisible(shown);
}
} // namespace

// --- creation

UICheckBox::UICheckBox() = default;

UICheckBox::~UICheckBox() {
    UICheckBox::releaseResources();
}

UICheckBox* UICheckBox::create() {
    return createWidget<UICheckBox>();
}

void UICheckBox::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    for (TextureSlot* slot : images())
        slot->rebuild(m_renderer.get(), false, 0);
    setCrossShown(false);
}

void UICheckBox::releaseResources() {
    for (TextureSlot* slot : images())
        slot->detach();
    m_checkEventHandler = {};
    m_selectHandler = {};
    m_unselectHandler = {};
    UIWidget::releaseResources();
}

// --- textures

void UICheckBox::loadTextures(const char* box, const char* boxSelected, const char* cross,
                              const char* boxDisabled, const char* crossDisabled, int kind) {
    loadBoxTexture(box, kind);
    loadBoxSelectedTexture(boxSelected, kind);
    loadCrossTexture(cross, kind);
    loadBoxDisabledTexture(boxDisabled, kind);
    loadCrossDisabledTexture(crossDisabled, kind);
}

void UICheckBox::loadBoxTexture(const char* name, int kind) {
    loadSlot(m_box, name, kind);
}

void UICheckBox::loadBoxSelectedTexture(const char* name, int kind) {
    loadSlot(m_boxSelected, name, kind);
}

void UICheckBox::loadCrossTexture(const char* name, int kind) {
    loadSlot(m_cross, name, kind);
}

void UICheckBox::loadBoxDisabledTexture(const char* name, int kind) {
    loadSlot(m_boxDisabled, name, kind);
}

void UICheckBox::loadCrossDisabledTexture(const char* name, int kind) {
    loadSlot(m_crossDisabled, name, kind);
}

void UICheckBox::loadSlot(TextureSlot& slot, const char* name, int kind) {
    if (!slot.load(name, kind, *this)) return;
    // Loading resets the sprite's anchor; the layout reader sets the anchor first.
    slot.node()->setAnchorPoint(m_anchorPoint);
    if (m_ignoreSize) m_size = getContentSize();
    onSizeChanged();
}

// --- selection

void UICheckBox::setSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    setCrossShown(selected);
}

// While dim the disabled cross stands for the cross.
void UICheckBox::setCrossShown(bool shown) {
    show(m_cross, shown && m_bright);
    show(m_crossDisabled, shown && !m_bright);
}

void UICheckBox::setSelectHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_selectHandler.bind(target, selector);
}

void UICheckBox::setUnselectHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_unselectHandler.bind(target, selector);
}

void UICheckBox::setCheckEventHandler(engine::CCObject* target, SEL_TouchEvent selector) {
    m_checkEventHandler.bind(target, selector);
}

// --- overrides

void UICheckBox::onTouchEnded(const CCPoint& point) {
    engine::CCRef<UICheckBox> keepAlive(this);
    m_touchEndPos = point;
    if (m_focused) {
        callReleaseHandler();
        callTouchEventHandler(TOUCH_EVENT_ENDED);
        int event;
        Handler<SEL_PushEvent> stateHandler;
        if (m_selected) {
            setSelected(false);
            stateHandler = m_unselectHandler;
            event = CHECKBOX_STATE_EVENT_UNSELECTED;
        } else {
            setSelected(true);
            stateHandler = m_selectHandler;
            event = CHECKBOX_STATE_EVENT_SELECTED;
        }
        if (stateHandler) (stateHandler.target->*stateHandler.selector)(this);
        Handler<SEL_TouchEvent> checkHandler = m_checkEventHandler;
        if (checkHandler) (checkHandler.target->*checkHandler.selector)(this, event);
        setFocused(false);
    } else {
        // Every touch ends with exactly one of 2 or 3 for the touch-event handler.
        callTouchEventHandler(TOUCH_EVENT_CANCELED);
    }
    if (m_parent) m_parent->onChildTouch(TOUCH_EVENT_ENDED, this, point);
}

void UICheckBox::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    for (TextureSlot* slot : images())
        if (slot->node()) slot->node()->setAnchorPoint(anchor);
}

void UICheckBox::setFlipX(bool flip) {
    for (TextureSlot* slot : images())
        slot->setFlipX(flip);
}

void UICheckBox::setFlipY(bool flip) {
    for (TextureSlot* slot : images())
        slot->setFlipY(flip);
}

void UICheckBox::onSizeChanged() {
    for (TextureSlot* slot : images())
        slot->fitTo(m_size, m_ignoreSize);
}

// --- looks
//
// The cross follows the selection in the normal and pressed looks, so that
// it comes back after the disabled look had hidden it.

void UICheckBox::onNormalLook() {
    show(m_box, true);
    show(m_boxSelected, false);
    show(m_boxDisabled, false);
    show(m_crossDisabled, false);
    show(m_cross, m_selected);
}

void UICheckBox::onPressedLook() {
    show(m_boxSelected, true);
    show(m_box, false);
    show(m_boxDisabled, false);
    show(m_crossDisabled, false);
    show(m_cross, m_selected);
}

void UICheckBox::onDisabledLook() {
    show(m_boxDisabled, true);
    show(m_box, false);
    show(m_boxSelected, false);
    show(m_cross, false);
    show(m_crossDisabled, m_selected);
}

} // namespace gui
