#include "gui/UITextField.h"

#include "gui/TextNodeScale.h"
#include "gui/UICCTextField.h"

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

UITextField::UITextField() = default;

UITextField::~UITextField() {
    UITextField::releaseResources();
}

UITextField* UITextField::create() {
    return createWidget<UITextField>();
}

bool UITextField::init() {
    if (!UIWidget::init()) return false;
    setUpdateEnabled(true);
    return true;
}

void UITextField::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_textFieldRenderer = UICCTextField::create("input words here", "Thonburi", 20);
    if (!m_textFieldRenderer) {
        m_renderer = nullptr;
        return;
    }
    m_textFieldRenderer->setAnchorPoint(m_anchorPoint);
    m_renderer->addChild(m_textFieldRenderer);
}

void UITextField::releaseResources() {
    m_textFieldEventHandler = {};
    m_attachHandler = {};
    m_detachHandler = {};
    m_insertHandler = {};
    m_deleteHandler = {};
    m_textFieldRenderer = nullptr; // the renderer's child, freed with it
    UIWidget::releaseResources();
}

// --- text and font

void UITextField::setText(const char* text) {
    if (!text || !m_textFieldRenderer) return;
    m_textFieldRenderer->setString(text);
    rescaleText();
}

const char* UITextField::getStringValue() const {
    return m_textFieldRenderer ? m_textFieldRenderer->getString() : "";
}

void UITextField::setPlaceHolder(const std::string& placeholder) {
    if (!m_textFieldRenderer) return;
    m_textFieldRenderer->setPlaceHolder(placeholder.c_str());
    rescaleText();
}

const char* UITextField::getPlaceHolder() const {
    return m_textFieldRenderer ? m_textFieldRenderer->getPlaceHolder() : "";
}

void UITextField::setFontSize(int size) {
    if (!m_textFieldRenderer) return;
    m_textFieldRenderer->setFontSize(static_cast<float>(size));
    rescaleText();
}

void UITextField::setFontName(const std::string& name) {
    if (!m_textFieldRenderer) return;
    m_textFieldRenderer->setFontName(name.c_str());
    rescaleText();
}

// --- limit and password

void UITextField::setMaxLengthEnabled(bool enabled) {
    if (m_textFieldRenderer) m_textFieldRenderer->setMaxLengthEnabled(enabled);
}

bool UITextField::isMaxLengthEnabled() const {
    return m_textFieldRenderer && m_textFieldRenderer->isMaxLengthEnabled();
}

void UITextField::setMaxLength(int length) {
    if (m_textFieldRenderer) m_textFieldRenderer->setMaxLength(length);
}

int UITextField::getMaxLength() const {
    return m_textFieldRenderer ? m_textFieldRenderer->getMaxLength() : 0;
}

void UITextField::setPasswordEnabled(bool enabled) {
    if (!m_textFieldRenderer) return;
    m_textFieldRenderer->setPasswordEnabled(enabled);
    rescaleText();
}

bool UITextField::isPasswordEnabled() const {
    return m_textFieldRenderer && m_textFieldRenderer->isPasswordEnabled();
}

void UITextField::setPasswordStyleText(const char* styleText) {
    if (!m_textFieldRenderer) return;
    m_textFieldRenderer->setPasswordStyleText(styleText);
    rescaleText();
}

const char* UITextField::getPasswordStyleText() const {
    return m_textFieldRenderer ? m_textFieldRenderer->getPasswordStyleText() : "";
}

// --- touch size

void UITextField::setTouchSize(const CCSize& size) {
    m_useTouchArea = true;
    m_touchWidth = size.width;
    m_touchHeight = size.height;
}

// --- keyboard

void UITextField::closeKeyboard() {
    if (m_textFieldRenderer) m_textFieldRenderer->closeIME();
}

// --- handlers

void UITextField::setTextFieldEventHandler(engine::CCObject* target, SEL_TextFieldEvent selector) {
    m_textFieldEventHandler.bind(target, selector);
}

void UITextField::setAttachHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_attachHandler.bind(target, selector);
}

void UITextField::setDetachHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_detachHandler.bind(target, selector);
}

void UITextField::setInsertHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_insertHandler.bind(target, selector);
}

void UITextField::setDeleteHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_deleteHandler.bind(target, selector);
}

// Copies the bindings first, so a handler may rebind or unbind itself.
void UITextField::raise(int eventType, const Handler<SEL_PushEvent>& handler) {
    Handler<SEL_PushEvent> pushHandler = handler;
    if (pushHandler) (pushHandler.target->*pushHandler.selector)(this);
    Handler<SEL_TextFieldEvent> eventHandler = m_textFieldEventHandler;
    if (eventHandler) (eventHandler.target->*eventHandler.selector)(this, eventType);
}

// --- overrides

void UITextField::update(float /*dt*/) {
    // A handler may drop the field (a screen closing on Return).
    engine::CCRef<UITextField> keepAlive(this);
    // Each flag is cleared before its handlers run: an event that a handler
    // causes is reported on the next frame instead of being lost.
    if (m_textFieldRenderer && m_textFieldRenderer->isAttachPending()) {
        m_textFieldRenderer->setAttachPending(false);
        raise(TEXTFIELD_EVENT_ATTACH_WITH_IME, m_attachHandler);
    }
    if (m_textFieldRenderer && m_textFieldRenderer->isDetachPending()) {
        m_textFieldRenderer->setDetachPending(false);
        raise(TEXTFIELD_EVENT_DETACH_WITH_IME, m_detachHandler);
    }
    if (m_textFieldRenderer && m_textFieldRenderer->isInsertPending()) {
        m_textFieldRenderer->setInsertPending(false);
        rescaleText();
        raise(TEXTFIELD_EVENT_INSERT_TEXT, m_insertHandler);
    }
    if (m_textFieldRenderer && m_textFieldRenderer->isDeletePending()) {
        m_textFieldRenderer->setDeletePending(false);
        // A shorter text changes the size just as a longer one does.
        rescaleText();
        raise(TEXTFIELD_EVENT_DELETE_BACKWARD, m_deleteHandler);
    }
}

bool UITextField::onTouchBegan(const CCPoint& point) {
    engine::CCRef<UITextField> keepAlive(this);
    bool passed = UIWidget::onTouchBegan(point);
    if (m_textFieldRenderer) m_textFieldRenderer->openIME();
    return passed;
}

void UITextField::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    if (m_textFieldRenderer) m_textFieldRenderer->setAnchorPoint(anchor);
}

// A field taken out of its tree stops updating; back in, it reports again.
CCSize UITextField::getContentSize() const {
    return m_textFieldRenderer ? m_textFieldRenderer->getContentSize() : engine::CCSizeZero;
}

void UITextField::onSizeChanged() {
    rescaleText();
}

void UITextField::rescaleText() {
    m_size = scaleTextNode(m_textFieldRenderer, m_ignoreSize, m_size);
}

} // namespace gui
