#include "gui/Layout.h"

#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCLog.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScale9Sprite.h"
#include "engine/nodes/CCSprite.h"
#include "gui/RectClippingNode.h"

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

Layout::Layout() {
    m_category = WIDGET_CATEGORY_CONTAINER;
}

Layout::~Layout() = default;

Layout* Layout::create() {
    return createWidget<Layout>();
}

bool Layout::init() {
    if (!UIWidget::init()) return false;
    setIgnoreContentSize(false);
    setSize(engine::CCSizeZero);
    setAnchorPoint(CCPoint(0, 0));
    return true;
}

void Layout::initRenderer() {
    m_renderer = RectClippingNode::create();
}

RectClippingNode* Layout::getClippingNode() const {
    return dynamic_cast<RectClippingNode*>(m_renderer.get());
}

// --- clipping

void Layout::setClipping(bool on) {
    m_clipping = on;
    if (RectClippingNode* clip = getClippingNode()) clip->setClippingEnabled(on);
}

// --- size and hits

void Layout::onSizeChanged() {
    // Setting up a new panel gives it its zero size twice; the stencil keeps
    // its first rectangle until the size really changes.
    if (!m_clipSizeFollows && m_size != engine::CCSizeZero) m_clipSizeFollows = true;
    if (RectClippingNode* clip = getClippingNode(); clip && m_clipSizeFollows) clip->setClipSize(m_size);
    arrangeChildren();
    if (m_backgroundImage) {
        m_backgroundImage->setPosition(centre());
        if (m_imageNineSlice)
            static_cast<engine::CCScale9Sprite*>(m_backgroundImage.get())->setPreferredSize(m_size);
    }
    if (m_colorLayer) m_colorLayer->setContentSize(m_size);
    if (m_gradientLayer) m_gradientLayer->setContentSize(m_size);
}

CCSize Layout::getContentSize() const {
    return m_renderer ? m_renderer->getContentSize() : m_size;
}

bool Layout::hitTest(const CCPoint& point) {
    if (!m_renderer) return false;
    engine::CCAffineTransform toWorld = m_renderer->nodeToWorldTransform();
    // A panel scaled to nothing covers no point.
    if (toWorld.a * toWorld.d - toWorld.b * toWorld.c == 0.0f) return false;
    CCPoint local = engine::CCPointApplyAffineTransform(point, engine::CCAffineTransformInvert(toWorld));
    return local.x >= 0 && local.x <= m_size.width && local.y >= 0 && local.y <= m_size.height;
}

// --- colour

void Layout::setColor(const engine::ccColor3B& color) {
    UIWidget::setColor(color);
    if (m_backgroundImage) m_backgroundImage->setColor(color);
}

void Layout::setOpacity(engine::GLubyte opacity) {
    UIWidget::setOpacity(opacity);
    if (m_backgroundImage) m_backgroundImage->setOpacity(opacity);
}

// --- background image

void Layout::addBackgroundImageNode() {
    engine::CCNodeRGBA* node = nullptr;
    if (m_imageNineSlice) {
        engine::CCScale9Sprite* nineSlice = engine::CCScale9Sprite::create();
        if (nineSlice) nineSlice->setPreferredSize(m_size);
        node = nineSlice;
    } else {
        node = engine::CCSprite::create();
    }
    if (!node || !m_renderer) return;
    m_renderer->addChild(node, -1);
    node->setPosition(centre());
    m_backgroundImage = node;
}

void Layout::removeBackgroundImageNode() {
    if (!m_backgroundImage) return;
    m_backgroundImage->removeFromParentAndCleanup(true);
    m_backgroundImage.reset();
}

void Layout::setBackgroundImage(const std::string& name, TextureKind kind) {
    if (name.empty()) return;
    if (!m_backgroundImage) addBackgroundImageNode();
    if (!m_backgroundImage) return;
    m_backgroundImageName = name;
    m_backgroundImageKind = kind;
    if (kind != UI_TEX_TYPE_LOCAL && kind != UI_TEX_TYPE_PLIST) {
        engine::CCLog("Layout: background image '%s' has unknown texture kind %d; not loaded", name.c_str(),
                      static_cast<int>(kind));
    } else if (m_imageNineSlice) {
        auto* nineSlice = static_cast<engine::CCScale9Sprite*>(m_backgroundImage.get());
        // Loading resets a nine-slice image's insets: keep the panel's.
        if (kind == UI_TEX_TYPE_LOCAL)
            nineSlice->initWithFile(name.c_str(), engine::CCRectZero, m_backgroundImageCapInsets);
        else
            nineSlice->initWithSpriteFrameName(name.c_str(), m_backgroundImageCapInsets);
        m_backgroundImageTextureSize = nineSlice->getContentSize();
        nineSlice->setPreferredSize(m_size);
    } else {
        auto* sprite = static_cast<engine::CCSprite*>(m_backgroundImage.get());
        if (kind == UI_TEX_TYPE_LOCAL)
            sprite->initWithFile(name.c_str());
        else
            sprite->initWithSpriteFrameName(name.c_str());
        m_backgroundImageTextureSize = sprite->getContentSize();
    }
    m_backgroundImage->setColor(getColor());
    m_backgroundImage->setOpacity(getOpacity());
    m_backgroundImage->setPosition(centre());
}

void Layout::setBackgroundImageNineSlice(bool on) {
    if (on == m_imageNineSlice) return;
    removeBackgroundImageNode();
    m_imageNineSlice = on;
    addBackgroundImageNode();
    setBackgroundImage(m_backgroundImageName, m_backgroundImageKind);
    setBackgroundImageCapInsets(m_backgroundImageCapInsets);
}

void Layout::setBackgroundImageCapInsets(const engine::CCRect& capInsets) {
    m_backgroundImageCapInsets = capInsets;
    if (m_imageNineSlice && m_backgroundImage)
        static_cast<engine::CCScale9Sprite*>(m_backgroundImage.get())->setCapInsets(capInsets);
}

// --- background colour

void Layout::removeColorLayer() {
    if (!m_colorLayer) return;
    m_colorLayer->removeFromParentAndCleanup(true);
    m_colorLayer.reset();
}

void Layout::removeGradientLayer() {
    if (!m_gradientLayer) return;
    m_gradientLayer->removeFromParentAndCleanup(true);
    m_gradientLayer.reset();
}

void Layout::setBackgroundColorType(int type) {
    if (type == m_colorType) return;
    switch (m_colorType) {
    case LAYOUT_COLOR_NONE:
        removeColorLayer();
        removeGradientLayer();
        break;
    case LAYOUT_COLOR_SOLID:
        removeColorLayer();
        break;
    case LAYOUT_COLOR_GRADIENT:
        removeGradientLayer();
        break;
    default:
        break;
    }
    m_colorType = type;
    if (!m_renderer) return;
    if (type == LAYOUT_COLOR_SOLID) {
        engine::CCLayerColor* layer = engine::CCLayerColor::create();
        if (!layer) return;
        layer->setContentSize(m_size);
        layer->setOpacity(m_colorOpacity);
        layer->setColor(m_color);
        m_renderer->addChild(layer, -2);
        m_colorLayer = layer;
    } else if (type == LAYOUT_COLOR_GRADIENT) {
        engine::CCLayerGradient* layer = engine::CCLayerGradient::create();
        if (!layer) return;
        layer->setContentSize(m_size);
        layer->setOpacity(m_colorOpacity);
        layer->setStartColor(m_gradientStart);
        layer->setEndColor(m_gradientEnd);
        layer->setVector(m_gradientVector);
        m_renderer->addChild(layer, -2);
        m_gradientLayer = layer;
    } else if (type != LAYOUT_COLOR_NONE) {
        engine::CCLog("Layout: unknown background colour type %d; no background colour", type);
    }
}

void Layout::setBackgroundColor(const engine::ccColor3B& color) {
    m_color = color;
    if (m_colorLayer) m_colorLayer->setColor(color);
}

void Layout::setBackgroundGradientColors(const engine::ccColor3B& start, const engine::ccColor3B& end) {
    m_gradientStart = start;
    if (m_gradientLayer) m_gradientLayer->setStartColor(start);
    m_gradientEnd = end;
    if (m_gradientLayer) m_gradientLayer->setEndColor(end);
}

void Layout::setBackgroundGradientVector(const CCPoint& vector) {
    m_gradientVector = vector;
    if (m_gradientLayer) m_gradientLayer->setVector(vector);
}

void Layout::setBackgroundColorOpacity(engine::GLubyte opacity) {
    m_colorOpacity = opacity;
    if (m_colorType == LAYOUT_COLOR_SOLID && m_colorLayer) m_colorLayer->setOpacity(opacity);
    if (m_colorType == LAYOUT_COLOR_GRADIENT && m_gradientLayer) m_gradientLayer->setOpacity(opacity);
}

} // namespace gui
