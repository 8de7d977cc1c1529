#pragma once
// An editable one-line text: placeholder, length limit and password mode.
//
// A touch on the field opens the keyboard for it. What the keyboard does is
// reported on the frame after it happened, never inside the key event: each
// frame the field raises, in this order and at most once each, attach,
// detach, insert and delete, calling the per-event handler (sender) and then
// the text-field event handler (sender, event code). Several keystrokes
// within one frame therefore raise one insert event.
//
// Index: types, creation, text and font, limit and password, touch size,
// keyboard, handlers, overrides.
#include "engine/base/CCGeometry.h"
#include "gui/UIWidget.h"

#include <concepts>
#include <string>

namespace gui {

class UICCTextField;

// --- types

// Event code handed to text-field event handlers; part of the handler contract.
enum TextFieldEventType {
    TEXTFIELD_EVENT_ATTACH_WITH_IME = 0,
    TEXTFIELD_EVENT_DETACH_WITH_IME = 1,
    TEXTFIELD_EVENT_INSERT_TEXT = 2,
    TEXTFIELD_EVENT_DELETE_BACKWARD = 3,
};

using SEL_TextFieldEvent = void (engine::CCObject::*)(engine::CCObject* sender, int eventType);

#define textfieldeventselector(_SELECTOR) static_cast<::gui::SEL_TextFieldEvent>(&_SELECTOR)

class UITextField : public UIWidget {
public:
    // --- creation
    UITextField();
    ~UITextField() override;
    // Empty, with the placeholder "input words here" in "Thonburi" at 20 points.
    static UITextField* create();

    // --- text and font
    // A null text changes nothing.
    void setText(const char* text);
    void setText(const std::string& text) { setText(text.c_str()); }
    // The real text, also in password mode.
    const char* getStringValue() const;
    void setPlaceHolder(const std::string& placeholder);
    const char* getPlaceHolder() const;
    // Sizes of 0 or less keep the old size.
    void setFontSize(int size);
    void setFontName(const std::string& name);

    // --- limit and password
    void setMaxLengthEnabled(bool enabled);
    bool isMaxLengthEnabled() const;
    void setMaxLength(int length);
    int getMaxLength() const;
    void setPasswordEnabled(bool enabled);
    bool isPasswordEnabled() const;
    // One printable, non-space ASCII character; anything else is ignored.
    void setPasswordStyleText(const char* styleText);
    void setPasswordStyleText(const std::string& styleText) { setPasswordStyleText(styleText.c_str()); }
    const char* getPasswordStyleText() const;

    // --- touch size: kept from the layout file; hit testing does not use it
    void setTouchSize(const engine::CCSize& size);
    engine::CCSize getTouchSize() const { return {m_touchWidth, m_touchHeight}; }
    bool isUseTouchArea() const { return m_useTouchArea; }

    // --- keyboard
    // Lets go of the keyboard (a detach event follows on the next frame).
    void closeKeyboard();

    // --- handlers (a null target switches one off; targets are not retained)
    void setTextFieldEventHandler(engine::CCObject* target, SEL_TextFieldEvent selector);
    void setAttachHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setDetachHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setInsertHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setDeleteHandler(engine::CCObject* target, SEL_PushEvent selector);

    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setTextFieldEventHandler(T* target, void (C::*selector)(engine::CCObject*, int)) {
        setTextFieldEventHandler(static_cast<engine::CCObject*>(target),
                                 static_cast<SEL_TextFieldEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setAttachHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setAttachHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setDetachHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setDetachHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setInsertHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setInsertHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setDeleteHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setDeleteHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }

    // --- overrides
    // Raises the events the keyboard left since the last frame.
    void update(float dt) override;
    // The base's touch, then the keyboard opens for this field.
    bool onTouchBegan(const engine::CCPoint& point) override;
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "TextField"; }
    UICCTextField* getVirtualRenderer() const { return m_textFieldRenderer; }

protected:
    bool init() override;
    void initRenderer() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    void rescaleText();
    void raise(int eventType, const Handler<SEL_PushEvent>& handler);

    UICCTextField* m_textFieldRenderer = nullptr; // owned by the renderer
    float m_touchWidth = 0.0f;
    float m_touchHeight = 0.0f;
    bool m_useTouchArea = false;
    Handler<SEL_TextFieldEvent> m_textFieldEventHandler;
    Handler<SEL_PushEvent> m_attachHandler;
    Handler<SEL_PushEvent> m_detachHandler;
    Handler<SEL_PushEvent> m_insertHandler;
    Handler<SEL_PushEvent> m_deleteHandler;
};

} // namespace gui
