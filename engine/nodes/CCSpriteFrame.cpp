#include "engine/nodes/CCSpriteFrame.h"

#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

#include <utility>

namespace engine {

CCSpriteFrame::CCSpriteFrame() = default;
CCSpriteFrame::~CCSpriteFrame() = default;

CCSpriteFrame* CCSpriteFrame::createWithTexture(CCTexture2D* texture, const CCRect& rect) {
    return createWithTexture(texture, rect, false, CCPointZero, rect.size);
}

CCSpriteFrame* CCSpriteFrame::createWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated,
                                                const CCPoint& offset, const CCSize& originalSize) {
    auto* frame = new CCSpriteFrame();
    frame->setTexture(texture);
    frame->m_rect = rect;
    frame->m_rotated = rotated;
    frame->m_offset = offset;
    frame->m_originalSize = originalSize;
    return autoreleased(frame);
}

CCSpriteFrame* CCSpriteFrame::create(const char* file, const CCRect& rect) {
    CCTexture2D* texture = file ? CCTextureCache::sharedTextureCache()->addImage(file) : nullptr;
    return createWithTexture(texture, rect);
}

void CCSpriteFrame::setTexture(CCTexture2D* texture) {
    m_texture = texture;
}

CCRect CCSpriteFrame::getTextureArea() const {
    if (!m_rotated) return m_rect;
    return CCRect(m_rect.origin.x, m_rect.origin.y, m_rect.size.height, m_rect.size.width);
}

void ccDrawTextureArea(CCTexture2D* texture, const CCRect& area, bool rotated, const CCRect& dest,
                       const CCAffineTransform& world, const ccColor4B& color, bool flipX, bool flipY) {
    if (!texture) return;
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    // Areas are in points; the texture may hold more pixels per point.
    const CCSize& points = texture->getContentSize();
    float toPixelsX = points.width > 0 ? texture->getPixelsWide() / points.width : 1.0f;
    float toPixelsY = points.height > 0 ? texture->getPixelsHigh() / points.height : 1.0f;
    CCRect pixels(area.origin.x * toPixelsX, area.origin.y * toPixelsY, area.size.width * toPixelsX,
                  area.size.height * toPixelsY);
    if (!rotated) {
        CCAffineTransform place = CCAffineTransformMake(1, 0, 0, 1, dest.origin.x, dest.origin.y);
        renderer->drawTexturedQuad(texture, pixels, dest.size, CCAffineTransformConcat(place, world), color,
                                   flipX, flipY);
        return;
    }
    // The quad is laid along the stored picture: its x runs up the upright
    // picture and its y runs leftwards, which turns it back a quarter turn
    // counter-clockwise. Mirroring the upright x is mirroring the quad's y.
    CCSize quad(dest.size.height, dest.size.width);
    CCAffineTransform turn =
        CCAffineTransformMake(0, 1, -1, 0, dest.origin.x + dest.size.width, dest.origin.y);
    renderer->drawTexturedQuad(texture, pixels, quad, CCAffineTransformConcat(turn, world), color, flipY,
                               flipX);
}

} // namespace engine
