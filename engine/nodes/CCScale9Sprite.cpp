#include "engine/nodes/CCScale9Sprite.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// One axis of the cap insets kept inside the picture. A centre without
// length cannot be stretched: it becomes one point wide (where the picture
// allows), the way a one-pixel stretch line works.
void clampAxis(float start, float length, float total, float& outStart, float& outLength) {
    if (!(total > 0)) {
        outStart = outLength = 0;
        return;
    }
    if (!std::isfinite(start)) start = 0;
    if (!std::isfinite(length)) length = 0;
    start = std::clamp(start, 0.0f, total);
    length = std::clamp(length, 0.0f, total - start);
    if (length <= 0) {
        length = std::min(1.0f, total);
        start = std::min(start, total - length);
    }
    outStart = start;
    outLength = length;
}

} // namespace

CCScale9Sprite::CCScale9Sprite() = default;
CCScale9Sprite::~CCScale9Sprite() = default;

CCScale9Sprite* CCScale9Sprite::create() {
    return autoreleasedIf(new CCScale9Sprite(), [](CCScale9Sprite* s) { return s->init(); });
}

CCScale9Sprite* CCScale9Sprite::create(const char* file) {
    return autoreleasedIf(new CCScale9Sprite(), [file](CCScale9Sprite* s) { return s->initWithFile(file); });
}

CCScale9Sprite* CCScale9Sprite::create(const char* file, const CCRect& rect, const CCRect& capInsets) {
    return autoreleasedIf(new CCScale9Sprite(),
                          [&](CCScale9Sprite* s) { return s->initWithFile(file, rect, capInsets); });
}

CCScale9Sprite* CCScale9Sprite::createWithSpriteFrameName(const char* name) {
    return autoreleasedIf(new CCScale9Sprite(),
                          [name](CCScale9Sprite* s) { return s->initWithSpriteFrameName(name); });
}

CCScale9Sprite* CCScale9Sprite::createWithSpriteFrameName(const char* name, const CCRect& capInsets) {
    return autoreleasedIf(new CCScale9Sprite(),
                          [&](CCScale9Sprite* s) { return s->initWithSpriteFrameName(name, capInsets); });
}

bool CCScale9Sprite::init() {
    setAnchorPoint(ccp(0.5f, 0.5f));
    return show(nullptr, CCRectZero, false, CCRectZero);
}

bool CCScale9Sprite::initWithFile(const char* file) {
    return initWithFile(file, CCRectZero, CCRectZero);
}

bool CCScale9Sprite::initWithFile(const char* file, const CCRect& rect) {
    return initWithFile(file, rect, CCRectZero);
}

bool CCScale9Sprite::initWithFile(const char* file, const CCRect& rect, const CCRect& capInsets) {
    if (!file) {
        CCLog("CCScale9Sprite::initWithFile: no file given");
        return false;
    }
    setAnchorPoint(ccp(0.5f, 0.5f));
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(file);
    CCRect part = rect;
    if (texture && part.size.width <= 0 && part.size.height <= 0) part.size = texture->getContentSize();
    if (texture) {
        // Only what lies inside the image can be shown.
        CCRect whole(0, 0, texture->getContentSize().width, texture->getContentSize().height);
        CCRect inside = part.intersection(whole);
        if (inside != part) {
            CCLog("CCScale9Sprite: the rectangle asked of '%s' reaches outside the image; cut to it", file);
            part = inside;
        }
    }
    return show(texture, texture ? part : CCRectZero, false, capInsets);
}

bool CCScale9Sprite::initWithSpriteFrame(CCSpriteFrame* frame) {
    return initWithSpriteFrame(frame, CCRectZero);
}

bool CCScale9Sprite::initWithSpriteFrame(CCSpriteFrame* frame, const CCRect& capInsets) {
    if (!frame) {
        CCLog("CCScale9Sprite::initWithSpriteFrame: no frame given");
        return false;
    }
    setAnchorPoint(ccp(0.5f, 0.5f));
    // A trimmed frame's lost margin is not part of the nine-slice picture.
    return show(frame->getTexture(), frame->getRect(), frame->isRotated(), capInsets);
}

bool CCScale9Sprite::initWithSpriteFrameName(const char* name) {
    return initWithSpriteFrameName(name, CCRectZero);
}

bool CCScale9Sprite::initWithSpriteFrameName(const char* name, const CCRect& capInsets) {
    if (!name) {
        CCLog("CCScale9Sprite::initWithSpriteFrameName: no frame name given");
        return false;
    }
    CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name);
    if (!frame) {
        CCLog("CCScale9Sprite: no sprite frame named '%s'; the image shows nothing", name);
        setAnchorPoint(ccp(0.5f, 0.5f));
        return show(nullptr, CCRectZero, false, capInsets);
    }
    return initWithSpriteFrame(frame, capInsets);
}

bool CCScale9Sprite::show(CCTexture2D* texture, const CCRect& rect, bool rotated, const CCRect& capInsets) {
    m_texture = texture;
    m_rect = rect;
    m_rotated = rotated;
    m_originalSize = rect.size;
    m_capInsets = capInsets;
    setContentSize(m_originalSize);
    return true;
}

CCRect CCScale9Sprite::effectiveInsets() const {
    float w = m_originalSize.width, h = m_originalSize.height;
    CCRect insets = m_capInsets;
    if (insets == CCRectZero) insets = CCRect(w / 3, h / 3, w / 3, h / 3);
    CCRect result;
    clampAxis(insets.origin.x, insets.size.width, w, result.origin.x, result.size.width);
    clampAxis(insets.origin.y, insets.size.height, h, result.origin.y, result.size.height);
    return result;
}

void CCScale9Sprite::draw() {
    const CCSize& size = m_contentSize;
    float w = m_originalSize.width, h = m_originalSize.height;
    if (!m_texture || w <= 0 || h <= 0 || size.width <= 0 || size.height <= 0) return;
    CCRect insets = effectiveInsets();
    float left = insets.getMinX(), right = w - insets.getMaxX();
    float top = insets.getMinY(), bottom = h - insets.getMaxY();
    // Corners shrink together rather than overlap when there is no room.
    float kx = left + right > size.width ? size.width / (left + right) : 1.0f;
    float ky = top + bottom > size.height ? size.height / (top + bottom) : 1.0f;

    // Grid lines: picture columns and rows from its top-left corner, node
    // columns from the left and rows from the top.
    const float srcX[4] = {0, insets.getMinX(), insets.getMaxX(), w};
    const float srcY[4] = {0, insets.getMinY(), insets.getMaxY(), h};
    const float dstX[4] = {0, left * kx, size.width - right * kx, size.width};
    const float dstY[4] = {0, top * ky, size.height - bottom * ky, size.height};

    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            float sw = srcX[column + 1] - srcX[column], sh = srcY[row + 1] - srcY[row];
            float dw = dstX[column + 1] - dstX[column], dh = dstY[row + 1] - dstY[row];
            if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) continue;
            // A rotated picture is stored turned a quarter clockwise: its
            // columns are the texture's rows, its rows run right to left.
            CCRect area =
                m_rotated
                    ? CCRect(m_rect.origin.x + (h - srcY[row + 1]), m_rect.origin.y + srcX[column], sh, sw)
                    : CCRect(m_rect.origin.x + srcX[column], m_rect.origin.y + srcY[row], sw, sh);
            CCRect dest(dstX[column], size.height - dstY[row + 1], dw, dh);
            ccDrawTextureArea(m_texture.get(), area, m_rotated, dest, m_worldTransform, color);
        }
    }
}

} // namespace engine
