#pragma once
// Text in a bitmap font. The font file comes first: text given before it is
// dropped (logged), and the label shows nothing until its text is set again
// after the font. With ignoreSize on the widget takes the text's size;
// otherwise the text is stretched over the widget's size.
//
// Index: creation, font and text, overrides.
#include "engine/base/CCGeometry.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCLabelBMFont;
} // namespace engine

namespace gui {

class UILabelBMFont : public UIWidget {
public:
    // --- creation
    UILabelBMFont();
    ~UILabelBMFont() override;
    static UILabelBMFont* create();

    // --- font and text
    // A missing or empty name changes nothing. Otherwise the label starts
    // over with no text in that font (as wide as its text, left-aligned); a
    // font that cannot be read leaves it without glyphs (the engine logs it).
    void setFontFile(const char* fileName);
    void setFontFile(const std::string& fileName) { setFontFile(fileName.c_str()); }
    bool isFontFileSet() const { return m_fontFileSet; }
    // Only once a font file was set; a null text changes nothing.
    void setText(const char* text);
    void setText(const std::string& text) { setText(text.c_str()); }
    const char* getStringValue() const;

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "LabelBMFont"; }
    engine::CCLabelBMFont* getVirtualRenderer() const { return m_labelBMFontRenderer; }

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    void rescaleText();

    engine::CCLabelBMFont* m_labelBMFontRenderer = nullptr; // owned by the renderer
    bool m_fontFileSet = false;
};

} // namespace gui
