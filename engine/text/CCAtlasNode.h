#pragma once
// A node that draws cells of one texture cut into a grid of equal items: the
// base of the character-map label. Subclasses fill the quads (which cell goes
// where) in updateAtlasValues; colour and opacity tint every cell.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCNodeRGBA.h"

#include <vector>

namespace engine {

class CCTexture2D;

class CCAtlasNode : public CCNodeRGBA {
public:
    ~CCAtlasNode() override;

    // The texture of `tile` (a resource image), cut into `tileWidth` x
    // `tileHeight` items. A missing image (logged by the texture cache) or an
    // item size that does not fit it (logged) leaves a node without atlas
    // that draws nothing.
    virtual bool initWithTileFile(const char* tile, unsigned int tileWidth, unsigned int tileHeight,
                                  unsigned int itemsToRender);
    virtual bool initWithTexture(CCTexture2D* texture, unsigned int tileWidth, unsigned int tileHeight,
                                 unsigned int itemsToRender);

    CCTexture2D* getTexture() const { return m_texture.get(); }
    // True when there is a texture with at least one whole item in it.
    bool hasAtlas() const { return m_texture && m_itemsPerRow > 0 && m_itemsPerColumn > 0; }
    unsigned int getItemWidth() const { return m_itemWidth; }
    unsigned int getItemHeight() const { return m_itemHeight; }
    unsigned int getItemsPerRow() const { return m_itemsPerRow; }
    unsigned int getItemsPerColumn() const { return m_itemsPerColumn; }

    struct Quad {
        CCRect rect;    // in the node, points from its lower-left corner
        CCRect texRect; // in the texture, pixels from its top-left corner
    };
    const std::vector<Quad>& getQuads() const { return m_quads; }

    // Fills the quads from the node's state.
    virtual void updateAtlasValues() {}
    void draw() override;

protected:
    CCAtlasNode(); // out of line: the texture's type is complete there
    // The texture rectangle of item `index` (row by row from the top left).
    CCRect itemRect(unsigned int index) const;

    CCRef<CCTexture2D> m_texture;
    unsigned int m_itemWidth = 0, m_itemHeight = 0;
    unsigned int m_itemsPerRow = 0, m_itemsPerColumn = 0;
    std::vector<Quad> m_quads;
};

} // namespace engine
