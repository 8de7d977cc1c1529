#include "engine/text/CCAtlasNode.h"

#include "engine/base/CCLog.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

namespace engine {

CCAtlasNode::CCAtlasNode() = default;
CCAtlasNode::~CCAtlasNode() = default;

bool CCAtlasNode::initWithTileFile(const char* tile, unsigned int tileWidth, unsigned int tileHeight,
                                   unsigned int itemsToRender) {
    if (!tile) {
        CCLog("CCAtlasNode::initWithTileFile: no file given");
        return false;
    }
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(tile);
    bool done = initWithTexture(texture, tileWidth, tileHeight, itemsToRender);
    if (texture && !hasAtlas())
        CCLog("CCAtlasNode: items of %u x %u do not fit the %d x %d image %s; nothing is drawn", tileWidth,
              tileHeight, texture->getPixelsWide(), texture->getPixelsHigh(), tile);
    return done;
}

bool CCAtlasNode::initWithTexture(CCTexture2D* texture, unsigned int tileWidth, unsigned int tileHeight,
                                  unsigned int itemsToRender) {
    m_texture = texture;
    m_itemWidth = tileWidth;
    m_itemHeight = tileHeight;
    m_itemsPerRow =
        texture && tileWidth > 0 ? static_cast<unsigned int>(texture->getPixelsWide()) / tileWidth : 0;
    m_itemsPerColumn =
        texture && tileHeight > 0 ? static_cast<unsigned int>(texture->getPixelsHigh()) / tileHeight : 0;
    m_quads.clear();
    m_quads.reserve(itemsToRender);
    return true;
}

CCRect CCAtlasNode::itemRect(unsigned int index) const {
    unsigned int row = index / m_itemsPerRow, column = index % m_itemsPerRow;
    return CCRect(static_cast<float>(column * m_itemWidth), static_cast<float>(row * m_itemHeight),
                  static_cast<float>(m_itemWidth), static_cast<float>(m_itemHeight));
}

void CCAtlasNode::draw() {
    if (!hasAtlas() || m_quads.empty()) return;
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    for (const Quad& quad : m_quads) {
        CCAffineTransform world =
            CCAffineTransformTranslate(m_worldTransform, quad.rect.origin.x, quad.rect.origin.y);
        renderer->drawTexturedQuad(m_texture.get(), quad.texRect, quad.rect.size, world, color);
    }
}

} // namespace engine
