#pragma once
// Text in a system font; the layout files' text areas are labels too.
//
// With ignoreSize on the widget takes the size of its text; otherwise the
// text is stretched over the widget's size. With touch scale on, a label
// grows while pressed (its renderer's scale plus 0.5) and shrinks back when
// released or left.
//
// Index: creation, text and font, text area, touch scale, overrides.
#include "engine/base/CCGeometry.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCLabelTTF;
class CCNode;
} // namespace engine

namespace gui {

class UILabel : public UIWidget {
public:
    // --- creation
    UILabel();
    ~UILabel() override;
    static UILabel* create();

    // --- text and font
    // A null text changes nothing.
    void setText(const char* text);
    void setText(const std::string& text) { setText(text.c_str()); }
    const char* getStringValue() const;
    // Sizes of 0 or less keep the old size.
    void setFontSize(int size);
    int getFontSize() const;
    void setFontName(const std::string& name);
    const char* getFontName() const;

    // --- text area
    // Zero width: no wrapping; zero height: as tall as the text.
    void setTextAreaSize(const engine::CCSize& size);
    // 0 left, 1 centre, 2 right; other values are logged and ignored.
    void setTextHorizontalAlignment(int alignment);
    // 0 top, 1 centre, 2 bottom; other values are logged and ignored.
    void setTextVerticalAlignment(int alignment);

    // --- touch scale
    // Turning it on (or off) takes the renderer's current scale as the
    // normal scale.
    void setTouchScaleEnabled(bool enabled);
    bool isTouchScaleEnabled() const { return m_touchScaleEnabled; }
    float getNormalScale() const { return m_normalScale; }

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    void setFlipX(bool flip) override;
    bool isFlipX() const override;
    void setFlipY(bool flip) override;
    bool isFlipY() const override;
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "Label"; }
    engine::CCLabelTTF* getVirtualRenderer() const { return m_labelRenderer; }

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void onNormalLook() override;
    void onPressedLook() override;
    void releaseResources() override;

private:
    void rescaleText();

    bool m_touchScaleEnabled = false;
    float m_normalScale = 1.0f;
    float m_pressedScaleOffset = 0.5f;
    engine::CCLabelTTF* m_labelRenderer = nullptr; // owned by the renderer
};

} // namespace gui
