#pragma once
// A three-state button: one image each for normal, pressed and disabled,
// and an optional title centred on it.
//
// The image of the current look is the only one shown: pressed while a
// touch that went down on the button is over it, disabled while bright is
// false (and then never pressed). With ignoreSize on, the button takes the
// size of its normal image; otherwise each image is stretched over the
// button's size, or in nine-slice mode sized to it. The button's colour
// tints the images only: the title keeps its own colour.
//
// Index: creation, textures, nine-slice, title, overrides, looks, private helpers.
#include "engine/base/CCGeometry.h"
#include "engine/base/ccTypes.h"
#include "gui/TextureKind.h"
#include "gui/TextureSlot.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCLabelTTF;
class CCNode;
} // namespace engine

namespace gui {

class UIButton : public UIWidget {
public:
    // --- creation
    UIButton();
    ~UIButton() override;
    static UIButton* create();

    // --- textures
    void loadTextures(const char* normal, const char* pressed, const char* disabled,
                      int kind = UI_TEX_TYPE_LOCAL);
    // An empty or missing name changes nothing.
    void loadNormalTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadPressedTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    void loadDisabledTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    const std::string& getNormalFile() const { return m_normal.name(); }
    const std::string& getPressedFile() const { return m_pressed.name(); }
    const std::string& getDisabledFile() const { return m_disabled.name(); }

    // --- nine-slice
    // Rebuilds the three images as nine-slice (or plain) sprites. Turning it
    // on turns ignoreSize off; turning it off restores the earlier value.
    void setNineSliceEnabled(bool enabled);
    bool isNineSliceEnabled() const { return m_nineSlice; }
    // All three images' cap insets; they take effect in nine-slice mode.
    void setCapInsets(const engine::CCRect& insets);
    void setCapInsetsNormal(const engine::CCRect& insets);
    void setCapInsetsPressed(const engine::CCRect& insets);
    void setCapInsetsDisabled(const engine::CCRect& insets);
    const engine::CCRect& getCapInsetsNormal() const { return m_normal.capInsets(); }
    const engine::CCRect& getCapInsetsPressed() const { return m_pressed.capInsets(); }
    const engine::CCRect& getCapInsetsDisabled() const { return m_disabled.capInsets(); }

    // --- title
    void setTitleText(const std::string& text);
    const char* getTitleText() const;
    void setTitleColor(const engine::ccColor3B& color);
    const engine::ccColor3B& getTitleColor() const { return m_titleColor; }
    void setTitleFontSize(float size);
    float getTitleFontSize() const;
    void setTitleFontName(const char* name);
    const char* getTitleFontName() const;
    engine::CCLabelTTF* getTitleLabel() const { return m_titleLabel; }

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    void setFlipX(bool flip) override;
    bool isFlipX() const override;
    void setFlipY(bool flip) override;
    bool isFlipY() const override;
    // Refused (no change) in nine-slice mode.
    void setIgnoreContentSize(bool ignore) override;
    // The normal image's texture size.
    engine::CCSize getContentSize() const override { return m_normal.textureSize(); }
    const char* getKindName() const override { return "Button"; }

    // The image of the current look: disabled while bright is false, else
    // normal or pressed by brightState; none while brightState is none.
    // getRenderer stays the button's render node, so that actions and
    // parents move all three images and the title together.
    engine::CCNode* getVirtualRenderer() const;

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void onNormalLook() override;
    void onPressedLook() override;
    void onDisabledLook() override;
    void releaseResources() override;

private:
    void loadSlot(TextureSlot& slot, const char* name, int kind);
    void showOnly(const TextureSlot& shown);
    void placeTitle();

    TextureSlot m_normal;
    TextureSlot m_pressed;
    TextureSlot m_disabled;
    engine::CCLabelTTF* m_titleLabel = nullptr; // owned by the renderer
    bool m_prevIgnoreSize = true;
    bool m_nineSlice = false;
    engine::ccColor3B m_titleColor = engine::ccWHITE;
    // Kept here so that images rebuilt after nine-slice mode flip again.
    bool m_flipX = false;
    bool m_flipY = false;
};

} // namespace gui
