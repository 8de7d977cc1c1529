#include "gui/UIButton.h"

#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/ButtonTitleLabel.h"

namespace gui {

using engine::CCPoint;
using engine::CCRect;

namespace {
constexpr int kImageZOrder = 0;
constexpr int kTitleZOrder = 1;
} // namespace

// --- creation

UIButton::UIButton() = default;

UIButton::~UIButton() {
    UIButton::releaseResources();
}

UIButton* UIButton::create() {
    return createWidget<UIButton>();
}

void UIButton::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_normal.rebuild(m_renderer.get(), false, kImageZOrder);
    m_pressed.rebuild(m_renderer.get(), false, kImageZOrder);
    m_disabled.rebuild(m_renderer.get(), false, kImageZOrder);
    m_titleLabel = ButtonTitleLabel::create();
    if (m_titleLabel) {
        m_titleLabel->setColor(m_titleColor);
        m_renderer->addChild(m_titleLabel, kTitleZOrder);
    }
}

void UIButton::releaseResources() {
    m_normal.detach();
    m_pressed.detach();
    m_disabled.detach();
    m_titleLabel = nullptr; // the renderer's child; it goes with the renderer
    UIWidget::releaseResources();
}

// --- textures

void UIButton::loadTextures(const char* normal, const char* pressed, const char* disabled, int kind) {
    loadNormalTexture(normal, kind);
    loadPressedTexture(pressed, kind);
    loadDisabledTexture(disabled, kind);
}

void UIButton::loadNormalTexture(const char* name, int kind) {
    loadSlot(m_normal, name, kind);
}

void UIButton::loadPressedTexture(const char* name, int kind) {
    loadSlot(m_pressed, name, kind);
}

void UIButton::loadDisabledTexture(const char* name, int kind) {
    loadSlot(m_disabled, name, kind);
}

void UIButton::loadSlot(TextureSlot& slot, const char* name, int kind) {
    if (!slot.load(name, kind, *this)) return;
    slot.node()->setAnchorPoint(m_anchorPoint);
    // The normal image defines the content: a button that follows its
    // content takes the new size.
    if (m_ignoreSize) m_size = getContentSize();
    onSizeChanged();
}

// --- nine-slice

void UIButton::setNineSliceEnabled(bool enabled) {
    if (enabled == m_nineSlice) return;
    m_brightState = BRIGHT_NONE;
    m_nineSlice = enabled;
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled}) {
        slot->rebuild(m_renderer.get(), enabled, kImageZOrder);
        slot->reload(*this); // also gives the new node the stored cap insets
        if (slot->node()) slot->node()->setAnchorPoint(m_anchorPoint);
        slot->setFlipX(m_flipX);
        slot->setFlipY(m_flipY);
    }
    if (enabled) {
        m_prevIgnoreSize = m_ignoreSize;
        UIWidget::setIgnoreContentSize(false);
    } else {
        UIWidget::setIgnoreContentSize(m_prevIgnoreSize);
    }
    if (!m_bright) {
        onDisabledLook();
    } else {
        m_brightState = BRIGHT_NORMAL;
        onNormalLook();
    }
}

void UIButton::setCapInsets(const CCRect& insets) {
    setCapInsetsNormal(insets);
    setCapInsetsPressed(insets);
    setCapInsetsDisabled(insets);
}

void UIButton::setCapInsetsNormal(const CCRect& insets) {
    m_normal.setCapInsets(insets);
}

void UIButton::setCapInsetsPressed(const CCRect& insets) {
    m_pressed.setCapInsets(insets);
}

void UIButton::setCapInsetsDisabled(const CCRect& insets) {
    m_disabled.setCapInsets(insets);
}

// --- title

void UIButton::setTitleText(const std::string& text) {
    if (m_titleLabel) m_titleLabel->setString(text.c_str());
}

const char* UIButton::getTitleText() const {
    return m_titleLabel ? m_titleLabel->getString() : "";
}

void UIButton::setTitleColor(const engine::ccColor3B& color) {
    m_titleColor = color;
    if (m_titleLabel) m_titleLabel->setColor(color);
}

void UIButton::setTitleFontSize(float size) {
    if (m_titleLabel) m_titleLabel->setFontSize(size);
}

float UIButton::getTitleFontSize() const {
    return m_titleLabel ? m_titleLabel->getFontSize() : 0.0f;
}

void UIButton::setTitleFontName(const char* name) {
    if (m_titleLabel && name) m_titleLabel->setFontName(name);
}

const char* UIButton::getTitleFontName() const {
    return m_titleLabel ? m_titleLabel->getFontName() : "";
}

// Centred on the button whatever its anchor.
void UIButton::placeTitle() {
    if (!m_titleLabel) return;
    m_titleLabel->setPosition(
        CCPoint((0.5f - m_anchorPoint.x) * m_size.width, (0.5f - m_anchorPoint.y) * m_size.height));
}

// --- overrides

void UIButton::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled})
        if (slot->node()) slot->node()->setAnchorPoint(anchor);
    placeTitle();
}

void UIButton::setFlipX(bool flip) {
    m_flipX = flip;
    if (m_titleLabel) m_titleLabel->setFlipX(flip);
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled})
        slot->setFlipX(flip);
}

bool UIButton::isFlipX() const {
    return m_normal.isFlipX();
}

void UIButton::setFlipY(bool flip) {
    m_flipY = flip;
    if (m_titleLabel) m_titleLabel->setFlipY(flip);
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled})
        slot->setFlipY(flip);
}

bool UIButton::isFlipY() const {
    return m_normal.isFlipY();
}

void UIButton::setIgnoreContentSize(bool ignore) {
    if (m_nineSlice && ignore) return;
    m_prevIgnoreSize = ignore;
    UIWidget::setIgnoreContentSize(ignore);
}

engine::CCNode* UIButton::getVirtualRenderer() const {
    if (!m_bright) return m_disabled.node();
    switch (m_brightState) {
    case BRIGHT_NORMAL:
        return m_normal.node();
    case BRIGHT_HIGHLIGHT:
        return m_pressed.node();
    default:
        return nullptr;
    }
}

void UIButton::onSizeChanged() {
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled})
        slot->fitTo(m_size, m_ignoreSize);
    placeTitle();
}

// --- looks

void UIButton::showOnly(const TextureSlot& shown) {
    for (TextureSlot* slot : {&m_normal, &m_pressed, &m_disabled})
        if (slot->node()) slot->node()->setVisible(slot == &shown);
}

void UIButton::onNormalLook() {
    showOnly(m_normal);
}

void UIButton::onPressedLook() {
    showOnly(m_pressed);
}

void UIButton::onDisabledLook() {
    showOnly(m_disabled);
}

} // namespace gui
