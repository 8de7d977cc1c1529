#pragma once
// A box with a cross: five images (box, box selected, cross, box disabled,
// cross disabled). A tap lifted over the box toggles the cross; a touch
// that leaves the box before lifting toggles nothing.
//
// Index: types, creation, textures, selection, handlers, overrides, looks.
#include "engine/base/CCGeometry.h"
#include "gui/TextureKind.h"
#include "gui/TextureSlot.h"
#include "gui/UIWidget.h"

#include <array>
#include <concepts>

namespace gui {

// --- types

// Code handed to the check-event handler after a toggle.
enum CheckBoxEventType {
    CHECKBOX_STATE_EVENT_SELECTED = 0,
    CHECKBOX_STATE_EVENT_UNSELECTED = 1,
};

class UICheckBox : public UIWidget {
public:
    // --- creation
    UICheckBox();
    ~UICheckBox() override;
    static UICheckBox* create();

    // --- textures (always plain sprites; an empty or missing name changes nothing)
    void loadTextures(const char* box, const char* boxSelected, const char* cross, const char* boxDisabled,
                      const char* crossDisabled, int kind = UI_TEX_TYPE_LOCAL);
    void loadBoxTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadBoxSelectedTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadCrossTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadBoxDisabledTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadCrossDisabledTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);

    // --- selection
    // Shows or hides the cross; calls no handler.
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

    // --- handlers (targets are not retained; a null target switches one off)
    void setSelectHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setUnselectHandler(engine::CCObject* target, SEL_PushEvent selector);
    // Called with CheckBoxEventType after every toggle by touch.
    void setCheckEventHandler(engine::CCObject* target, SEL_TouchEvent selector);

    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setSelectHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setSelectHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setUnselectHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setUnselectHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setCheckEventHandler(T* target, void (C::*selector)(engine::CCObject*, int)) {
        setCheckEventHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_TouchEvent>(selector));
    }

    // --- overrides
    // Over the box: release handler, touch event 2, toggle, check event,
    // focus cleared. Elsewhere: touch event 3 only (no cancel handler).
    // The parent hears phase 2 either way.
    void onTouchEnded(const engine::CCPoint& point) override;
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    void setFlipX(bool flip) override;
    bool isFlipX() const override { return m_box.isFlipX(); }
    void setFlipY(bool flip) override;
    bool isFlipY() const override { return m_box.isFlipY(); }
    // The box image's size.
    engine::CCSize getContentSize() const override { return m_box.textureSize(); }
    const char* getKindName() const override { return "CheckBox"; }

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void onNormalLook() override;
    void onPressedLook() override;
    void onDisabledLook() override;
    void releaseResources() override;

private:
    void loadSlot(TextureSlot& slot, const char* name, int kind);
    void setCrossShown(bool shown);
    // In drawing order: box, box selected, cross, box disabled, cross disabled.
    std::array<TextureSlot*, 5> images() {
        return {&m_box, &m_boxSelected, &m_cross, &m_boxDisabled, &m_crossDisabled};
    }

    TextureSlot m_box;
    TextureSlot m_boxSelected;
    TextureSlot m_cross;
    TextureSlot m_boxDisabled;
    TextureSlot m_crossDisabled;
    bool m_selected = false;
    Handler<SEL_TouchEvent> m_checkEventHandler;
    Handler<SEL_PushEvent> m_selectHandler;
    Handler<SEL_PushEvent> m_unselectHandler;
};

} // namespace gui
