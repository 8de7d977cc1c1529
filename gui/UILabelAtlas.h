#pragma once
// Digits or other characters drawn from a character map: an image cut into
// equal cells, the first showing the start character and the following
// cells the following characters. With ignoreSize on the widget takes the
// text's size (its length in cells by the cell height); otherwise the text
// is stretched over the widget's size.
//
// Index: creation, map and text, overrides.
#include "engine/base/CCGeometry.h"
#include "gui/UIWidget.h"

#include <string>

namespace gui {

class UICCLabelAtlas;

class UILabelAtlas : public UIWidget {
public:
    // --- creation
    UILabelAtlas();
    ~UILabelAtlas() override;
    static UILabelAtlas* create();

    // --- map and text
    // `startCharMap`'s first character is the one that the map's first cell
    // shows (an empty text: code point 0). A map that cannot be loaded, or
    // cells that do not fit it, leave a label that draws nothing (logged).
    void setProperty(const std::string& stringValue, const std::string& charMapFile, int itemWidth,
                     int itemHeight, const std::string& startCharMap);
    // A null text changes nothing.
    void setStringValue(const char* text);
    void setStringValue(const std::string& text) { setStringValue(text.c_str()); }
    const char* getStringValue() const;

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "LabelAtlase"; }
    UICCLabelAtlas* getVirtualRenderer() const { return m_laRenderer; }

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    void rescaleText();

    UICCLabelAtlas* m_laRenderer = nullptr; // owned by the renderer
};

} // namespace gui
