#include "engine/nodes/CCSprite.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

#include <utility>

namespace engine {

CCSprite::CCSprite() = default;
CCSprite::~CCSprite() = default;

CCSprite* CCSprite::create() {
    return autoreleasedIf(new CCSprite(), [](CCSprite* s) { return s->init(); });
}

CCSprite* CCSprite::create(const char* file) {
    return autoreleasedIf(new CCSprite(), [file](CCSprite* s) { return s->initWithFile(file); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture) {
    return autoreleasedIf(new CCSprite(), [texture](CCSprite* s) { return s->initWithTexture(texture); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture, const CCRect& rect) {
    return autoreleasedIf(new CCSprite(),
                          [texture, &rect](CCSprite* s) { return s->initWithTexture(texture, rect); });
}

CCSprite* CCSprite::createWithSpriteFrameName(const char* frameName) {
    return autoreleasedIf(new CCSprite(),
                          [frameName](CCSprite* s) { return s->initWithSpriteFrameName(frameName); });
}

bool CCSprite::init() {
    return initWithTexture(nullptr, CCRectZero);
}

bool CCSprite::initWithFile(const char* file) {
    if (!file) {
        CCLog("CCSprite::initWithFile: no file given");
        return false;
    }
    return initWithTexture(CCTextureCache::sharedTextureCache()->addImage(file));
}

bool CCSprite::initWithTexture(CCTexture2D* texture) {
    CCRect rect;
    if (texture) rect.size = texture->getContentSize();
    return initWithTexture(texture, rect);
}

bool CCSprite::initWithTexture(CCTexture2D* texture, const CCRect& rect) {
    setAnchorPoint(ccp(0.5f, 0.5f));
    m_flipX = m_flipY = false;
    m_texture = texture;
    m_rectRotated = false;
    setTextureRect(texture ? rect : CCRectZero);
    return true;
}

bool CCSprite::initWithSpriteFrame(CCSpriteFrame* frame) {
    if (!frame) {
        CCLog("CCSprite::initWithSpriteFrame: no frame given");
        return false;
    }
    initWithTexture(nullptr, CCRectZero);
    setDisplayFrame(frame);
    return true;
}

bool CCSprite::initWithSpriteFrameName(const char* frameName) {
    if (!frameName) {
        CCLog("CCSprite::initWithSpriteFrameName: no frame name given");
        return false;
    }
    CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) {
        CCLog("CCSprite: no sprite frame named '%s'; the sprite shows nothing", frameName);
        return initWithTexture(nullptr, CCRectZero);
    }
    return initWithSpriteFrame(frame);
}

void CCSprite::setTexture(CCTexture2D* texture) {
    if (texture == m_texture) return;
    m_texture = texture;
    CCRect rect;
    if (texture) rect.size = texture->getContentSize();
    m_rectRotated = false;
    setTextureRect(rect);
}

void CCSprite::setTextureRect(const CCRect& rect) {
    m_frameOffset = CCPointZero;
    setTextureRect(rect, m_rectRotated, rect.size);
}

void CCSprite::setTextureRect(const CCRect& rect, bool rotated, const CCSize& untrimmedSize) {
    m_rect = rect;
    m_rectRotated = rotated;
    setContentSize(untrimmedSize);
}

void CCSprite::setDisplayFrame(CCSpriteFrame* frame) {
    if (!frame) return;
    CCTexture2D* texture = frame->getTexture();
    m_texture = texture;
    m_frameOffset = frame->getOffset();
    setTextureRect(frame->getRect(), frame->isRotated(), frame->getOriginalSize());
}

bool CCSprite::isFrameDisplayed(CCSpriteFrame* frame) const {
    return frame && frame->getTexture() == m_texture && frame->getRect() == m_rect &&
           frame->isRotated() == m_rectRotated && frame->getOffset() == m_frameOffset;
}

CCSpriteFrame* CCSprite::displayFrame() const {
    return CCSpriteFrame::createWithTexture(m_texture.get(), m_rect, m_rectRotated, m_frameOffset,
                                            m_contentSize);
}

void CCSprite::draw() {
    if (!m_texture) return;
    // A trimmed picture sits inside the content box at its frame offset; a
    // flip mirrors that offset too.
    float offsetX = m_flipX ? -m_frameOffset.x : m_frameOffset.x;
    float offsetY = m_flipY ? -m_frameOffset.y : m_frameOffset.y;
    float x = (m_contentSize.width - m_rect.size.width) * 0.5f + offsetX;
    float y = (m_contentSize.height - m_rect.size.height) * 0.5f + offsetY;
    CCRect area = m_rect;
    if (m_rectRotated) std::swap(area.size.width, area.size.height);
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    ccDrawTextureArea(m_texture.get(), area, m_rectRotated,
                      CCRect(x, y, m_rect.size.width, m_rect.size.height), m_worldTransform, color, m_flipX,
                      m_flipY);
}

} // namespace engine
