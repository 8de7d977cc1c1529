#include "engine/nodes/CCSprite.h"

#include "engine/base/CCLog.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

namespace engine {

namespace {
template <class Init> CCSprite* make(CCSprite* sprite, Init init) {
    if (!init(sprite)) {
        delete sprite;
        return nullptr;
    }
    sprite->autorelease();
    return sprite;
}
} // namespace

CCSprite::~CCSprite() {
    if (m_texture) m_texture->release();
}

CCSprite* CCSprite::create() {
    return make(new CCSprite(), [](CCSprite* s) { return s->init(); });
}

CCSprite* CCSprite::create(const char* file) {
    return make(new CCSprite(), [file](CCSprite* s) { return s->initWithFile(file); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture) {
    return make(new CCSprite(), [texture](CCSprite* s) { return s->initWithTexture(texture); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture, const CCRect& rect) {
    return make(new CCSprite(), [texture, &rect](CCSprite* s) { return s->initWithTexture(texture, rect); });
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
    if (texture) texture->retain();
    if (m_texture) m_texture->release();
    m_texture = texture;
    setTextureRect(texture ? rect : CCRectZero);
    return true;
}

void CCSprite::setTexture(CCTexture2D* texture) {
    if (texture == m_texture) return;
    if (texture) texture->retain();
    if (m_texture) m_texture->release();
    m_texture = texture;
    CCRect rect;
    if (texture) rect.size = texture->getContentSize();
    setTextureRect(rect);
}

void CCSprite::setTextureRect(const CCRect& rect) {
    m_rect = rect;
    setContentSize(rect.size);
}

void CCSprite::draw() {
    if (!m_texture) return;
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    // The rectangle is in points; the texture may hold more pixels per point.
    const CCSize& points = m_texture->getContentSize();
    float toPixelsX = points.width > 0 ? m_texture->getPixelsWide() / points.width : 1.0f;
    float toPixelsY = points.height > 0 ? m_texture->getPixelsHigh() / points.height : 1.0f;
    CCRect pixels(m_rect.origin.x * toPixelsX, m_rect.origin.y * toPixelsY, m_rect.size.width * toPixelsX,
                  m_rect.size.height * toPixelsY);
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    renderer->drawTexturedQuad(m_texture, pixels, m_rect.size, m_worldTransform, color, m_flipX, m_flipY);
}

} // namespace engine
