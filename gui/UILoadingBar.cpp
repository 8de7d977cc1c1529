#include "gui/UILoadingBar.h"

#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace gui {

using engine::CCPoint;
using engine::CCRect;

// --- creation

UILoadingBar::UILoadingBar() = default;

UILoadingBar::~UILoadingBar() {
    UILoadingBar::releaseResources();
}

UILoadingBar* UILoadingBar::create() {
    return createWidget<UILoadingBar>();
}

void UILoadingBar::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_bar.rebuild(m_renderer.get(), false, 0);
    placeBar();
}

void UILoadingBar::releaseResources() {
    m_bar.detach();
    UIWidget::releaseResources();
}

// --- texture

void UILoadingBar::loadTexture(const char* name, int kind) {
    if (!m_bar.load(name, kind, *this)) return;
    if (m_ignoreSize) m_size = getContentSize();
    onSizeChanged();
}

// --- direction and percent

void UILoadingBar::setDirection(int direction) {
    if (direction == m_direction) return;
    m_direction = direction;
    placeBar();
}

void UILoadingBar::setPercent(int percent) {
    if (percent < 0 || percent > 100) return;
    m_percent = percent;
    cutBar();
}

// The bar's outer end sits on the widget's left or right edge (the
// rectangle that hitTest covers, wherever the anchor puts it).
void UILoadingBar::placeBar() {
    engine::CCNode* node = m_bar.node();
    if (!node) return;
    CCPoint centre((0.5f - m_anchorPoint.x) * m_size.width, (0.5f - m_anchorPoint.y) * m_size.height);
    if (m_direction == LOADING_BAR_LEFT) {
        node->setAnchorPoint(CCPoint(0.0f, 0.5f));
        node->setPosition(CCPoint(centre.x - m_totalLength * 0.5f, centre.y));
        m_bar.setFlipX(false);
    } else if (m_direction == LOADING_BAR_RIGHT) {
        node->setAnchorPoint(CCPoint(1.0f, 0.5f));
        node->setPosition(CCPoint(centre.x + m_totalLength * 0.5f, centre.y));
        m_bar.setFlipX(true);
    }
}

void UILoadingBar::cutBar() {
    if (m_totalLength <= 0) return;
    m_bar.cut(m_percent, m_totalLength);
}

// --- nine-slice

void UILoadingBar::setNineSliceEnabled(bool enabled) {
    if (enabled == m_nineSlice) return;
    m_nineSlice = enabled;
    m_bar.rebuild(m_renderer.get(), enabled, 0);
    m_bar.reload(*this); // also gives the new node the stored cap insets
    if (enabled) {
        m_prevIgnoreSize = m_ignoreSize;
        UIWidget::setIgnoreContentSize(false);
    } else {
        UIWidget::setIgnoreContentSize(m_prevIgnoreSize);
    }
}

void UILoadingBar::setCapInsets(const CCRect& insets) {
    m_bar.setCapInsets(insets);
}

// --- overrides

void UILoadingBar::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    placeBar();
}

void UILoadingBar::setIgnoreContentSize(bool ignore) {
    if (m_nineSlice && ignore) return;
    m_prevIgnoreSize = ignore;
    UIWidget::setIgnoreContentSize(ignore);
}

engine::CCNode* UILoadingBar::getVirtualRenderer() const {
    return m_bar.node();
}

// The whole length follows the widget (or the texture), then the bar is
// cut again so that a new size or texture still shows the same percent.
void UILoadingBar::onSizeChanged() {
    if (m_ignoreSize) {
        m_totalLength = m_bar.textureSize().width;
        m_bar.fitTo(m_size, true);
    } else {
        m_totalLength = m_size.width;
        if (!m_nineSlice) m_bar.stretchTo(m_size);
    }
    cutBar();
    placeBar();
}

} // namespace gui
