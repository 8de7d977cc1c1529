#include "gui/UISlider.h"

#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"

#include <algorithm>
#include <cmath>

namespace gui {

using engine::CCPoint;
using engine::CCRect;
using engine::CCSize;

namespace {
// Under the thumb, which is added after them at the default z-order.
constexpr int kBarZOrder = -1;
} // namespace

// --- creation

UISlider::UISlider() = default;

UISlider::~UISlider() {
    UISlider::releaseResources();
}

UISlider* UISlider::create() {
    return createWidget<UISlider>();
}

void UISlider::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_bar.rebuild(m_renderer.get(), false, kBarZOrder);
    m_progress.rebuild(m_renderer.get(), false, kBarZOrder);
    if (m_progress.node()) m_progress.node()->setAnchorPoint(CCPoint(0.0f, 0.5f));
    m_thumb = engine::CCNode::create();
    m_renderer->addChild(m_thumb);
    m_thumbNormal.rebuild(m_thumb, false, 0);
    m_thumbPressed.rebuild(m_thumb, false, 0);
    m_thumbDisabled.rebuild(m_thumb, false, 0);
    showThumb(m_thumbNormal);
}

void UISlider::releaseResources() {
    for (TextureSlot* slot : {&m_bar, &m_progress, &m_thumbNormal, &m_thumbPressed, &m_thumbDisabled})
        slot->detach();
    m_thumb = nullptr; // the renderer's child; it goes with the renderer
    m_sliderEventHandler = {};
    m_percentHandler = {};
    UIWidget::releaseResources();
}

// --- textures

void UISlider::loadBarTexture(const char* name, int kind) {
    if (!m_bar.load(name, kind, *this)) return;
    if (m_ignoreSize) m_size = getContentSize();
    onSizeChanged();
}

void UISlider::loadProgressTexture(const char* name, int kind) {
    if (!m_progress.load(name, kind, *this)) return;
    onSizeChanged();
}

void UISlider::loadThumbTextures(const char* normal, const char* pressed, const char* disabled, int kind) {
    loadThumbNormalTexture(normal, kind);
    loadThumbPressedTexture(pressed, kind);
    loadThumbDisabledTexture(disabled, kind);
}

void UISlider::loadThumbNormalTexture(const char* name, int kind) {
    loadThumb(m_thumbNormal, name, kind);
}

void UISlider::loadThumbPressedTexture(const char* name, int kind) {
    loadThumb(m_thumbPressed, name, kind);
}

void UISlider::loadThumbDisabledTexture(const char* name, int kind) {
    loadThumb(m_thumbDisabled, name, kind);
}

// The thumb images keep their own size; the thumb node is what moves.
void UISlider::loadThumb(TextureSlot& slot, const char* name, int kind) {
    slot.load(name, kind, *this);
}

// --- percent

void UISlider::setPercent(int percent) {
    percent = std::clamp(percent, 0, 100);
    m_percent = percent;
    float along = m_barLength * percent / 100.0f;
    CCPoint middle = centre();
    if (m_thumb) m_thumb->setPosition(CCPoint(middle.x + along - m_barLength * 0.5f, middle.y));
    m_progress.cut(percent, m_barLength);
}

CCPoint UISlider::centre() const {
    return CCPoint((0.5f - m_anchorPoint.x) * m_size.width, (0.5f - m_anchorPoint.y) * m_size.height);
}

void UISlider::percentFromTouch(const CCPoint& point) {
    if (!m_renderer || m_barLength <= 0) return;
    float x = m_renderer->convertToNodeSpace(point).x - centre().x;
    float percent = (x + m_barLength * 0.5f) / m_barLength * 100.0f;
    if (!std::isfinite(percent)) return;
    // Clamped before truncation: a finger far beyond the bar must not overflow an int.
    setPercent(static_cast<int>(std::clamp(percent, 0.0f, 100.0f)));
}

// --- nine-slice

void UISlider::setNineSliceEnabled(bool enabled) {
    if (enabled == m_nineSlice) return;
    m_nineSlice = enabled;
    for (TextureSlot* slot : {&m_bar, &m_progress}) {
        slot->rebuild(m_renderer.get(), enabled, kBarZOrder);
        slot->reload(*this); // also gives the new node the stored cap insets
    }
    if (enabled) {
        m_prevIgnoreSize = m_ignoreSize;
        UIWidget::setIgnoreContentSize(false);
    } else {
        UIWidget::setIgnoreContentSize(m_prevIgnoreSize);
    }
}

void UISlider::setCapInsets(const CCRect& insets) {
    setCapInsetsBar(insets);
    setCapInsetsProgress(insets);
}

void UISlider::setCapInsetsBar(const CCRect& insets) {
    m_bar.setCapInsets(insets);
}

void UISlider::setCapInsetsProgress(const CCRect& insets) {
    m_progress.setCapInsets(insets);
}

// --- handlers

void UISlider::setPercentHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_percentHandler.bind(target, selector);
}

void UISlider::setSliderEventHandler(engine::CCObject* target, SEL_TouchEvent selector) {
    m_sliderEventHandler.bind(target, selector);
}

// --- overrides

bool UISlider::onTouchBegan(const CCPoint& point) {
    engine::CCRef<UISlider> keepAlive(this);
    bool passed = UIWidget::onTouchBegan(point);
    percentFromTouch(point);
    Handler<SEL_PushEvent> percentHandler = m_percentHandler;
    if (percentHandler) (percentHandler.target->*percentHandler.selector)(this);
    Handler<SEL_TouchEvent> sliderHandler = m_sliderEventHandler;
    if (sliderHandler) (sliderHandler.target->*sliderHandler.selector)(this, SLIDER_PERCENT_CHANGED);
    return passed;
}

void UISlider::onTouchMoved(const CCPoint& point) {
    engine::CCRef<UISlider> keepAlive(this);
    m_touchMovePos = point;
    percentFromTouch(point);
    Handler<SEL_PushEvent> percentHandler = m_percentHandler;
    if (percentHandler) (percentHandler.target->*percentHandler.selector)(this);
    Handler<SEL_TouchEvent> sliderHandler = m_sliderEventHandler;
    if (sliderHandler) (sliderHandler.target->*sliderHandler.selector)(this, SLIDER_PERCENT_CHANGED);
}

void UISlider::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    onSizeChanged();
}

void UISlider::setIgnoreContentSize(bool ignore) {
    if (m_nineSlice && ignore) return;
    m_prevIgnoreSize = ignore;
    UIWidget::setIgnoreContentSize(ignore);
}

CCSize UISlider::getContentSize() const {
    return m_bar.node() ? m_bar.node()->getContentSize() : CCSize();
}

// The bar first (it gives the length), then the progress image over it.
void UISlider::onSizeChanged() {
    fitBar();
    fitProgress();
}

void UISlider::fitBar() {
    if (m_ignoreSize) {
        m_bar.fitTo(m_size, true);
        m_size = getContentSize();
        m_barLength = m_size.width;
    } else {
        m_barLength = m_size.width;
        m_bar.fitTo(m_size, false);
    }
    if (m_bar.node()) m_bar.node()->setPosition(centre());
    setPercent(m_percent);
}

// The progress image matches the bar: stretched over the widget's size
// even while the widget follows the bar's content.
void UISlider::fitProgress() {
    engine::CCNode* node = m_progress.node();
    if (!node) return;
    if (m_nineSlice)
        m_progress.fitTo(m_size, m_ignoreSize);
    else
        m_progress.stretchTo(m_size);
    node->setAnchorPoint(CCPoint(0.0f, 0.5f));
    CCPoint middle = centre();
    node->setPosition(CCPoint(middle.x - m_barLength * 0.5f, middle.y));
    setPercent(m_percent);
}

// --- looks

void UISlider::showThumb(const TextureSlot& shown) {
    for (TextureSlot* slot : {&m_thumbNormal, &m_thumbPressed, &m_thumbDisabled})
        if (slot->node()) slot->node()->setVisible(slot == &shown);
}

void UISlider::onNormalLook() {
    showThumb(m_thumbNormal);
}

void UISlider::onPressedLook() {
    showThumb(m_thumbPressed);
}

void UISlider::onDisabledLook() {
    showThumb(m_thumbDisabled);
}

} // namespace gui
