#pragma once
// One image. With ignoreSize on the widget takes the image's size;
// otherwise the image is stretched over the widget's size, or in nine-slice
// mode sized to it. It has no looks of its own.
//
// Index: creation, texture, nine-slice, overrides, private helpers.
#include "engine/base/CCGeometry.h"
#include "gui/TextureKind.h"
#include "gui/TextureSlot.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCNode;
} // namespace engine

namespace gui {

class UIImageView : public UIWidget {
public:
    // --- creation
    UIImageView();
    ~UIImageView() override;
    static UIImageView* create();

    // --- texture
    // An empty or missing name changes nothing.
    void loadTexture(const char* name, int kind = UI_TEX_TYPE_LOCAL);
    const std::string& getTextureFile() const { return m_image.name(); }
    // Shows only `rect` (points, within the loaded picture, y down from its
    // top row) and takes its size as the content size. Cut to the picture;
    // nothing in nine-slice mode, which always shows the whole picture.
    void setTextureRect(const engine::CCRect& rect);

    // --- nine-slice
    // Turning it on turns ignoreSize off; turning it off restores the earlier value.
    void setNineSliceEnabled(bool enabled);
    bool isNineSliceEnabled() const { return m_nineSlice; }
    void setCapInsets(const engine::CCRect& insets);
    const engine::CCRect& getCapInsets() const { return m_image.capInsets(); }

    // --- overrides
    void setAnchorPoint(const engine::CCPoint& anchor) override;
    // Flips act on the image outside nine-slice mode only.
    void setFlipX(bool flip) override;
    bool isFlipX() const override { return m_image.isFlipX(); }
    void setFlipY(bool flip) override;
    bool isFlipY() const override { return m_image.isFlipY(); }
    // Refused (no change) in nine-slice mode.
    void setIgnoreContentSize(bool ignore) override;
    engine::CCSize getContentSize() const override { return m_image.textureSize(); }
    const char* getKindName() const override { return "ImageView"; }
    engine::CCNode* getVirtualRenderer() const;

protected:
    void initRenderer() override;
    void onSizeChanged() override;
    void releaseResources() override;

private:
    void contentChanged();

    TextureSlot m_image;
    bool m_nineSlice = false;
    bool m_prevIgnoreSize = true;
    // Kept here so that an image rebuilt after nine-slice mode flips again.
    bool m_flipX = false;
    bool m_flipY = false;
};

} // namespace gui
