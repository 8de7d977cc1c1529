#pragma once
// The container widget: every panel of a layout file, the root of every UI
// layer and the base of the scrolling containers.
//
// Behind its children a panel can paint a solid colour or a two-colour
// gradient (with an opacity of its own), and over that an image, plain or
// nine-slice; and it can clip its children to its rectangle. Its position is
// its lower-left corner and its render node is a RectClippingNode.
//
// Drawing order inside the render node: colour or gradient layer (z -2),
// background image (z -1), then the children at their own z-orders.
//
// Index (header and source follow the same order):
//   types ............ LayoutBackgroundColorType, LayoutArrangement
//   creation ......... create, init, initRenderer, destructor
//   clipping ......... setClipping, hasClipping, setClipAble, isClippingEnabled
//   arrangement ...... setArrangement, getArrangement, arrangeChildren
//   size and hits .... onSizeChanged, getContentSize, hitTest
//   colour ........... setColor, setOpacity (the background image's tint)
//   background image . setBackgroundImage, setBackgroundImageNineSlice, setBackgroundImageCapInsets
//   background colour  setBackgroundColorType, setBackgroundColor, gradient colours and vector, opacity
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/base/ccTypes.h"
#include "gui/TextureKind.h"
#include "gui/UIWidget.h"

#include <string>

namespace engine {
class CCLayerColor;
class CCLayerGradient;
class CCNodeRGBA;
} // namespace engine

namespace gui {

class RectClippingNode;

// --- types

// The value of a panel's "colorType" in layout files.
enum LayoutBackgroundColorType {
    LAYOUT_COLOR_NONE = 0,
    LAYOUT_COLOR_SOLID = 1,
    LAYOUT_COLOR_GRADIENT = 2,
};

// Absolute: children keep the positions they were given. No other
// arrangement is ever set by the book or its layout files.
enum LayoutArrangement { LAYOUT_ABSOLUTE = 0 };

class Layout : public UIWidget {
public:
    // --- creation
    Layout();
    ~Layout() override;
    // A new panel: anchor (0, 0), size (0, 0), no background, no clipping.
    static Layout* create();

    // --- virtual operations added to the widget's, in slot order
    virtual void setClipping(bool on);
    virtual bool hasClipping() const { return m_clipping; }
    virtual void setArrangement(int arrangement) { m_arrangement = arrangement; }
    virtual int getArrangement() const { return m_arrangement; }
    // Absolute arrangement moves nothing: each child keeps its own position.
    virtual void arrangeChildren() {}
    // The layout reader's "clipAble" goes through here.
    virtual void setClipAble(bool on) { setClipping(on); }
    bool isClipAble() const { return m_clipping; }

    // --- overrides
    // Tint the background image there is now. The render node carries no
    // colour, so the panel answers white and 255 and an image loaded later
    // is not tinted: layout files set a panel's colour before its image.
    void setColor(const engine::ccColor3B& color) override;
    void setOpacity(engine::GLubyte opacity) override;
    // From the lower-left corner to the upper-right, edges included, in the
    // render node's space; the anchor point plays no part.
    bool hitTest(const engine::CCPoint& point) override;
    // The render node's content size, which follows the panel's size.
    engine::CCSize getContentSize() const override;
    const char* getKindName() const override { return "Layout"; }
    bool isClippingEnabled() const override { return m_clipping; }

    // --- background image
    // Loads the image (file or sprite frame) into the background node, making
    // the node first if there is none. An empty name does nothing.
    void setBackgroundImage(const std::string& name, TextureKind kind = UI_TEX_TYPE_LOCAL);
    // Swaps the background node between a plain sprite and a nine-slice
    // image, reloading the stored image and cap insets into the new one.
    void setBackgroundImageNineSlice(bool on);
    bool isBackgroundImageNineSlice() const { return m_imageNineSlice; }
    void setBackgroundImageCapInsets(const engine::CCRect& capInsets);
    const engine::CCRect& getBackgroundImageCapInsets() const { return m_backgroundImageCapInsets; }
    const std::string& getBackgroundImageName() const { return m_backgroundImageName; }
    TextureKind getBackgroundImageKind() const { return m_backgroundImageKind; }
    const engine::CCSize& getBackgroundImageTextureSize() const { return m_backgroundImageTextureSize; }
    // The sprite or nine-slice node; none before the first image or switch.
    engine::CCNodeRGBA* getBackgroundImage() const { return m_backgroundImage.get(); }

    // --- background colour
    // LayoutBackgroundColorType; switching kind replaces the layer, the same
    // kind again keeps it, any other value leaves no layer.
    void setBackgroundColorType(int type);
    int getBackgroundColorType() const { return m_colorType; }
    void setBackgroundColor(const engine::ccColor3B& color);
    const engine::ccColor3B& getBackgroundColor() const { return m_color; }
    void setBackgroundGradientColors(const engine::ccColor3B& start, const engine::ccColor3B& end);
    const engine::ccColor3B& getBackgroundGradientStart() const { return m_gradientStart; }
    const engine::ccColor3B& getBackgroundGradientEnd() const { return m_gradientEnd; }
    void setBackgroundGradientVector(const engine::CCPoint& vector);
    const engine::CCPoint& getBackgroundGradientVector() const { return m_gradientVector; }
    void setBackgroundColorOpacity(engine::GLubyte opacity);
    engine::GLubyte getBackgroundColorOpacity() const { return m_colorOpacity; }
    engine::CCLayerColor* getBackgroundColorLayer() const { return m_colorLayer.get(); }
    engine::CCLayerGradient* getBackgroundGradientLayer() const { return m_gradientLayer.get(); }

    RectClippingNode* getClippingNode() const;

protected:
    bool init() override;
    void initRenderer() override;
    void onSizeChanged() override;

private:
    void addBackgroundImageNode();
    void removeBackgroundImageNode();
    void removeColorLayer();
    void removeGradientLayer();
    engine::CCPoint centre() const { return {m_size.width / 2, m_size.height / 2}; }

    // Fields in declaration order.
    bool m_clipping = false;
    bool m_imageNineSlice = false;
    engine::CCRef<engine::CCNodeRGBA> m_backgroundImage; // also a child of the render node
    std::string m_backgroundImageName;
    engine::CCRect m_backgroundImageCapInsets;
    TextureKind m_backgroundImageKind = UI_TEX_TYPE_LOCAL;
    int m_colorType = LAYOUT_COLOR_NONE;
    engine::CCRef<engine::CCLayerColor> m_colorLayer;       // also a child of the render node
    engine::CCRef<engine::CCLayerGradient> m_gradientLayer; // also a child of the render node
    engine::ccColor3B m_color = engine::ccWHITE;
    engine::ccColor3B m_gradientStart = engine::ccWHITE;
    engine::ccColor3B m_gradientEnd = engine::ccWHITE;
    engine::CCPoint m_gradientVector{0, -1};
    engine::GLubyte m_colorOpacity = 255;
    engine::CCSize m_backgroundImageTextureSize;
    int m_arrangement = LAYOUT_ABSOLUTE;
    // The stencil keeps its first 50 x 50 until the panel first has a size.
    bool m_clipSizeFollows = false;
};

} // namespace gui
