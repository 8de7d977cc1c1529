#include "gui/UIImageView.h"

#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace gui {

using engine::CCPoint;
using engine::CCRect;

// --- creation

UIImageView::UIImageView() = default;

UIImageView::~UIImageView() {
    UIImageView::releaseResources();
}

UIImageView* UIImageView::create() {
    return createWidget<UIImageView>();
}

void UIImageView::initRenderer() {
    UIWidget::initRenderer();
    if (m_renderer) m_image.rebuild(m_renderer.get(), false, 0);
}

void UIImageView::releaseResources() {
    m_image.detach();
    UIWidget::releaseResources();
}

// --- texture

void UIImageView::loadTexture(const char* name, int kind) {
    if (!m_image.load(name, kind, *this)) return;
    m_image.node()->setAnchorPoint(m_anchorPoint);
    contentChanged();
}

void UIImageView::setTextureRect(const CCRect& rect) {
    if (m_image.showPart(rect)) contentChanged();
}

// A widget that follows its content takes the image's new size.
void UIImageView::contentChanged() {
    if (m_ignoreSize) m_size = getContentSize();
    onSizeChanged();
}

// --- nine-slice

void UIImageView::setNineSliceEnabled(bool enabled) {
    if (enabled == m_nineSlice) return;
    m_nineSlice = enabled;
    m_image.rebuild(m_renderer.get(), enabled, 0);
    m_image.reload(*this); // also gives the new node the stored cap insets
    if (m_image.node()) m_image.node()->setAnchorPoint(m_anchorPoint);
    m_image.setFlipX(m_flipX);
    m_image.setFlipY(m_flipY);
    if (enabled) {
        m_prevIgnoreSize = m_ignoreSize;
        UIWidget::setIgnoreContentSize(false);
    } else {
        UIWidget::setIgnoreContentSize(m_prevIgnoreSize);
    }
}

void UIImageView::setCapInsets(const CCRect& insets) {
    m_image.setCapInsets(insets);
}

// --- overrides

void UIImageView::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    if (m_image.node()) m_image.node()->setAnchorPoint(anchor);
}

void UIImageView::setFlipX(bool flip) {
    m_flipX = flip;
    m_image.setFlipX(flip);
}

void UIImageView::setFlipY(bool flip) {
    m_flipY = flip;
    m_image.setFlipY(flip);
}

void UIImageView::setIgnoreContentSize(bool ignore) {
    if (m_nineSlice && ignore) return;
    m_prevIgnoreSize = ignore;
    UIWidget::setIgnoreContentSize(ignore);
}

engine::CCNode* UIImageView::getVirtualRenderer() const {
    return m_image.node();
}

void UIImageView::onSizeChanged() {
    m_image.fitTo(m_size, m_ignoreSize);
}

} // namespace gui
