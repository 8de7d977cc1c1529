#pragma once
// A bar with a draggable thumb and a progress image that fills the bar up
// to the thumb. Touching the bar puts the thumb under the finger; dragging
// moves it; the percent stays within 0..100.
//
// The bar lies within the widget's rectangle as its anchor places it, so
// that what is drawn is what hitTest covers.
//
// Index: types, creation, textures, percent, nine-slice, handlers,
// overrides, looks, private helpers.
#include "engine/base/CCGeometry.h"
#include "gui/TextureKind.h"
#include "gui/TextureSlot.h"
#include "gui/UIWidget.h"

#include <concepts>
#include <string>

namespace engine {
class CCNode;
} // namespace engine

namespace gui {

// --- types

// Code handed to the slider-event handler.
enum SliderEventType { SLIDER_PERCENT_CHANGED = 0 };

class UISlider : public UIWidget {
public:
    // --- creation
    UISlider();
    ~UISlider() override;
    static UISlider* create();

    // --- textures (an empty or missing name changes nothing)
    void loadBarTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadProgressTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadThumbTextures(const char* normal, const char* pressed, const char* disabled,
                           int kind = UI_TEX_TYPE_LOCAL);
    void loadThumbNormalTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadThumbPressedTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadThumbDisabledTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    const std::string& getBarFile() const { return m_bar.name(); }
    const std::string& getProgressFile() const { return m_progress.name(); }

    // --- percent
    // Clamped to 0..100; places the thumb and cuts the progress image.
    void setPercent(int percent);
    int getPercent() const { return m_percent; }
    float getBarLength() const { return m_barLength; }
    // The node holding the three thumb images.
    engine::CCNode* getThumb() const { return m_thumb; }
    engine::CCNode* getBarRenderer() const { return m_bar.node(); }
    engine::CCNode* getProgressRenderer() const { return m_progress.node(); }

    // --- nine-slice (bar and progress image)
    // Turning it on turns ignoreSize off; turning it off restores the earlier value.
    void setNineSliceEnabled(bool enabled);
    bool isNineSliceEnabled() const { return m_nineSlice; }
    // Both the bar's and the progress image's cap insets.
    void setCapInsets(const engine::CCRect& insets);
    void setCapInsetsBar(const engine::CCRect& insets);
    void setCapInsetsProgress(const engine::CCRect& insets);
    const engine::CCRect& getCapInsetsBar() const { return m_bar.capInsets(); }
    const engine::CCRect& getCapInsetsProgress() const { return m_progress.capInsets(); }

    // --- handlers (targets are not retained; a null target switches one off)
    // Both are called on every touch began and moved, changed or not.
    void setPercentHandler(engine::CCObject* target, SEL_PushEvent selector);
    void setSliderEventHandler(engine::CCObject* target, SEL_TouchEvent selector);

    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setPercentHandler(T* target, void (C::*selector)(engine::CCObject*)) {
        setPercentHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_PushEvent>(selector));
    }
    template <class T, class C>
    requires std::derived_from<T, C> && std::derived_from<C, engine::CCObject>
    void setSliderEventHandler(T* target, void (C::*selector)(engine::CCObject*, int)) {
        setSliderEventHandler(static_cast<engine::CCObject*>(target), static_cast<SEL_TouchEvent>(selector));
    }

    // --- overrides
    // The base's began, then the thumb jumps under the finger.
    bool onTouchBegan(const engine::CCPoint& point) override;
    // Replaces the base: only the thumb follows the finger (no focus
    // change, no move or touch-event handler, no parent notice).
    void onTouchMoved(const engine::CCPoint& point) override;
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    // Refused (no change) in nine-slice mode.
    void setIgnoreContentSize(bool ignore) override;
    // The bar image's size.
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "Slider"; }

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void onNormalLook() override;
    void onPressedLook() override;
    void onDisabledLook() override;
    void releaseResources() override;

private:
    void loadThumb(TextureSlot& slot, const char* name, int kind);
    void fitBar();
    void fitProgress();
    void percentFromTouch(const engine::CCPoint& point);
    void showThumb(const TextureSlot& shown);
    // Where the widget rectangle's centre lies in the renderer's space.
    engine::CCPoint centre() const;

    TextureSlot m_bar;
    TextureSlot m_progress;
    TextureSlot m_thumbNormal;
    TextureSlot m_thumbPressed;
    TextureSlot m_thumbDisabled;
    engine::CCNode* m_thumb = nullptr; // owned by the renderer
    float m_barLength = 0.0f;
    int m_percent = 0;
    bool m_nineSlice = false;
    bool m_prevIgnoreSize = true;
    Handler<SEL_TouchEvent> m_sliderEventHandler;
    Handler<SEL_PushEvent> m_percentHandler;
};

} // namespace gui
