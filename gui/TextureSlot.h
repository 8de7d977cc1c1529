#pragma once
// One image of a textured widget (a button state, a check box part, a
// slider's bar...): an engine sprite, or a nine-slice sprite in nine-slice
// mode, plus the name and kind it was loaded from so that it can be built
// again when the mode changes.
//
// Index: node, loading, scaling, flips and insets.
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "gui/TextureKind.h"

#include <string>

namespace engine {
class CCScale9Sprite;
class CCSprite;
} // namespace engine

namespace gui {

class UIWidget;

class TextureSlot {
public:
    // --- node
    // Replaces the node with a fresh empty one of the mode's type under
    // `parent` at `zOrder`; the old node leaves its parent with cleanup.
    void rebuild(engine::CCNode* parent, bool nineSlice, int zOrder);
    // Takes the node out of its parent and lets it go.
    void detach();
    engine::CCNodeRGBA* node() const { return m_node.get(); }
    // None in nine-slice mode.
    engine::CCSprite* sprite() const;
    // None outside nine-slice mode.
    engine::CCScale9Sprite* nineSlice() const;
    bool isNineSlice() const { return m_nineSlice; }

    // --- loading
    // Shows the image `name` of `kind`. An empty or missing name, or a kind
    // that is not a TextureKind, changes nothing and answers false. A file
    // that cannot be loaded leaves the node without image (the texture cache
    // logs it). The node then takes the owner's colour and opacity unless
    // the owner's renderer already cascades them, and keeps its flips.
    bool load(const char* name, int kind, const UIWidget& owner);
    // Loads the stored name again, into a node rebuilt since.
    void reload(const UIWidget& owner);
    const std::string& name() const { return m_name; }
    int kind() const { return m_kind; }
    // The node's content size right after its texture was loaded.
    const engine::CCSize& textureSize() const { return m_textureSize; }
    // Where the whole picture lies in its texture (a frame's rectangle for a
    // sprite frame, the whole image for a file): the base of a cut.
    const engine::CCRect& pictureRect() const { return m_pictureRect; }

    // --- scaling
    // Fits the node to the widget's size: scale 1 when the size follows the
    // content; a nine-slice node is given the size as its preferred size;
    // a sprite is stretched over it (scale 1 for a picture without area).
    void fitTo(const engine::CCSize& size, bool ignoreSize);
    // Stretches a sprite over `size` whatever the widget's size mode.
    void stretchTo(const engine::CCSize& size);
    // Shows only the left `percent` (0..100) of the picture, at full height:
    // the sprite's texture rectangle is cut, the nine-slice node is sized to
    // that part of `length`.
    void cut(int percent, float length);
    // Shows only `part` of the picture (points, y down from its top row),
    // cut to the picture, and takes its size as the texture size. Sprites
    // only: answers false in nine-slice mode or without a picture.
    bool showPart(const engine::CCRect& part);

    // --- flips and insets
    // Flips act on sprites only; a nine-slice node answers false.
    void setFlipX(bool flip);
    bool isFlipX() const;
    void setFlipY(bool flip);
    bool isFlipY() const;
    // Kept across reloads and mode changes; used by nine-slice nodes only.
    void setCapInsets(const engine::CCRect& insets);
    const engine::CCRect& capInsets() const { return m_capInsets; }

private:
    engine::CCRef<engine::CCNodeRGBA> m_node;
    bool m_nineSlice = false;
    std::string m_name;
    int m_kind = UI_TEX_TYPE_LOCAL;
    engine::CCSize m_textureSize;
    engine::CCRect m_pictureRect;
    engine::CCRect m_capInsets;
};

} // namespace gui
