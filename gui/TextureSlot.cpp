#include "gui/TextureSlot.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "gui/UIWidget.h"

#include <algorithm>

namespace gui {

using engine::CCRect;
using engine::CCSize;

// --- node

void TextureSlot::rebuild(engine::CCNode* parent, bool nineSlice, int zOrder) {
    detach();
    m_nineSlice = nineSlice;
    if (nineSlice)
        m_node = engine::CCScale9Sprite::create();
    else
        m_node = engine::CCSprite::create();
    if (m_node && parent) parent->addChild(m_node.get(), zOrder);
}

void TextureSlot::detach() {
    if (m_node) m_node->removeFromParentAndCleanup(true);
    m_node.reset();
}

engine::CCSprite* TextureSlot::sprite() const {
    return m_nineSlice ? nullptr : static_cast<engine::CCSprite*>(m_node.get());
}

engine::CCScale9Sprite* TextureSlot::nineSlice() const {
    return m_nineSlice ? static_cast<engine::CCScale9Sprite*>(m_node.get()) : nullptr;
}

// --- loading

bool TextureSlot::load(const char* name, int kind, const UIWidget& owner) {
    if (!name || !*name || !m_node) return false;
    if (kind != UI_TEX_TYPE_LOCAL && kind != UI_TEX_TYPE_PLIST) {
        // Keeping the name would make the next rebuild drop the picture shown now.
        engine::CCLog("%s: texture '%s' has unknown kind %d; the image is left as it was",
                      owner.getKindName(), name, kind);
        return false;
    }
    m_name = name;
    m_kind = kind;
    if (engine::CCScale9Sprite* nine = nineSlice()) {
        if (kind == UI_TEX_TYPE_LOCAL)
            nine->initWithFile(name);
        else
            nine->initWithSpriteFrameName(name);
        nine->setCapInsets(m_capInsets);
        m_pictureRect = CCRect(0, 0, nine->getOriginalSize().width, nine->getOriginalSize().height);
    } else if (engine::CCSprite* plain = sprite()) {
        // Initialising resets the flips; the widget's flip is state of its own.
        bool flipX = plain->isFlipX(), flipY = plain->isFlipY();
        if (kind == UI_TEX_TYPE_LOCAL)
            plain->initWithFile(name);
        else
            plain->initWithSpriteFrameName(name);
        plain->setFlipX(flipX);
        plain->setFlipY(flipY);
        m_pictureRect = plain->getTextureRect();
    }
    // A renderer that cascades already tints its images; tinting the image
    // too would apply the widget's colour and opacity twice.
    m_node->setColor(owner.isCascadeColorEnabled() ? engine::ccWHITE : owner.getColor());
    m_node->setOpacity(owner.isCascadeOpacityEnabled() ? 255 : owner.getOpacity());
    m_textureSize = m_node->getContentSize();
    return true;
}

void TextureSlot::reload(const UIWidget& owner) {
    std::string name = m_name; // load() stores into m_name
    load(name.c_str(), m_kind, owner);
}

// --- scaling

void TextureSlot::fitTo(const CCSize& size, bool ignoreSize) {
    if (!m_node) return;
    if (ignoreSize) {
        // A nine-slice node never follows its content (nine-slice mode turns ignoreSize off).
        if (!m_nineSlice) m_node->setScale(1.0f);
        return;
    }
    if (engine::CCScale9Sprite* nine = nineSlice())
        nine->setPreferredSize(size);
    else
        stretchTo(size);
}

void TextureSlot::stretchTo(const CCSize& size) {
    if (!m_node || m_nineSlice) return;
    if (m_textureSize.width <= 0 || m_textureSize.height <= 0) {
        m_node->setScale(1.0f);
        return;
    }
    m_node->setScaleX(size.width / m_textureSize.width);
    m_node->setScaleY(size.height / m_textureSize.height);
}

// Multiplied before dividing, so that whole percents of whole sizes stay whole.
void TextureSlot::cut(int percent, float length) {
    percent = std::clamp(percent, 0, 100);
    if (engine::CCScale9Sprite* nine = nineSlice()) {
        nine->setPreferredSize(CCSize(length * percent / 100.0f, m_textureSize.height));
    } else if (engine::CCSprite* plain = sprite()) {
        if (!plain->getTexture()) return;
        plain->setTextureRect(CCRect(m_pictureRect.origin.x, m_pictureRect.origin.y,
                                     m_pictureRect.size.width * percent / 100.0f, m_pictureRect.size.height));
    }
}

bool TextureSlot::showPart(const CCRect& part) {
    engine::CCSprite* plain = sprite();
    if (!plain || !plain->getTexture()) return false;
    CCRect whole(0, 0, m_pictureRect.size.width, m_pictureRect.size.height);
    CCRect inside = part.intersection(whole);
    plain->setTextureRect(CCRect(m_pictureRect.origin.x + inside.origin.x,
                                 m_pictureRect.origin.y + inside.origin.y, inside.size.width,
                                 inside.size.height));
    m_textureSize = inside.size;
    return true;
}

// --- flips and insets

void TextureSlot::setFlipX(bool flip) {
    if (engine::CCSprite* plain = sprite()) plain->setFlipX(flip);
}

bool TextureSlot::isFlipX() const {
    engine::CCSprite* plain = sprite();
    return plain && plain->isFlipX();
}

void TextureSlot::setFlipY(bool flip) {
    if (engine::CCSprite* plain = sprite()) plain->setFlipY(flip);
}

bool TextureSlot::isFlipY() const {
    engine::CCSprite* plain = sprite();
    return plain && plain->isFlipY();
}

void TextureSlot::setCapInsets(const CCRect& insets) {
    m_capInsets = insets;
    if (engine::CCScale9Sprite* nine = nineSlice()) nine->setCapInsets(insets);
}

} // namespace gui
