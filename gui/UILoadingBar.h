#pragma once
// A progress bar: one image cut to the percent shown, growing from the
// left edge (direction 0) or from the right edge (direction 1, the image
// mirrored outside nine-slice mode). The bar is cut, not squeezed.
//
// The bar lies within the widget's rectangle as its anchor places it, so
// that what is drawn is what hitTest covers.
//
// Index: types, creation, texture, direction and percent, nine-slice, overrides.
#include "engine/base/CCGeometry.h"
#include "gui/TextureKind.h"
#include "gui/TextureSlot.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCNode;
} // namespace engine

namespace gui {

// --- types

enum LoadingBarDirection { LOADING_BAR_LEFT = 0, LOADING_BAR_RIGHT = 1 };

class UILoadingBar : public UIWidget {
public:
    // --- creation
    UILoadingBar();
    ~UILoadingBar() override;
    static UILoadingBar* create();

    // --- texture
    // An empty or missing name changes nothing.
    void loadTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    const std::string& getTextureFile() const { return m_bar.name(); }

    // --- direction and percent
    // 0 grows from the left, 1 from the right; other values are only stored.
    void setDirection(int direction);
    int getDirection() const { return m_direction; }
    // Values outside 0..100 are ignored. A percent set before there is a
    // bar to cut is applied once a texture is loaded.
    void setPercent(int percent);
    int getPercent() const { return m_percent; }
    // The length of the whole bar: the widget's width, or the texture's
    // while the widget follows its content.
    float getTotalLength() const { return m_totalLength; }

    // --- nine-slice
    // Turning it on turns ignoreSize off; turning it off restores the earlier value.
    void setNineSliceEnabled(bool enabled);
    bool isNineSliceEnabled() const { return m_nineSlice; }
    void setCapInsets(const engine::CCRect& insets);
    const engine::CCRect& getCapInsets() const { return m_bar.capInsets(); }

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    // Refused (no change) in nine-slice mode.
    void setIgnoreContentSize(bool ignore) override;
    engine::CCSize getContentSize() const override { return m_bar.textureSize(); }
    const char* getKindName() const override { return "LoadingBar"; }
    engine::CCNode* getVirtualRenderer() const;

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    void placeBar();
    void cutBar();

    int m_direction = LOADING_BAR_LEFT;
    int m_percent = 100;
    float m_totalLength = 0.0f;
    TextureSlot m_bar;
    bool m_nineSlice = false;
    bool m_prevIgnoreSize = true;
};

} // namespace gui
