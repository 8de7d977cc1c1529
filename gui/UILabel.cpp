#include "gui/UILabel.h"

#include "engine/base/CCLog.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/TextNodeScale.h"

#include <cmath>

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

UILabel::UILabel() = default;

UILabel::~UILabel() {
    UILabel::releaseResources();
}

UILabel* UILabel::create() {
    return createWidget<UILabel>();
}

void UILabel::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_labelRenderer = engine::CCLabelTTF::create();
    if (!m_labelRenderer) {
        m_renderer = nullptr; // init then fails; the autoreleased renderer goes with the pool
        return;
    }
    m_labelRenderer->setAnchorPoint(m_anchorPoint);
    m_renderer->addChild(m_labelRenderer);
}

void UILabel::releaseResources() {
    m_labelRenderer = nullptr; // the renderer's child, freed with it
    UIWidget::releaseResources();
}

// --- text and font

void UILabel::setText(const char* text) {
    if (!text || !m_labelRenderer) return;
    m_labelRenderer->setString(text);
    rescaleText();
}

const char* UILabel::getStringValue() const {
    return m_labelRenderer ? m_labelRenderer->getString() : "";
}

void UILabel::setFontSize(int size) {
    if (!m_labelRenderer) return;
    m_labelRenderer->setFontSize(static_cast<float>(size));
    rescaleText();
}

int UILabel::getFontSize() const {
    return m_labelRenderer ? static_cast<int>(std::lround(m_labelRenderer->getFontSize())) : 0;
}

void UILabel::setFontName(const std::string& name) {
    if (!m_labelRenderer) return;
    m_labelRenderer->setFontName(name.c_str());
    rescaleText();
}

const char* UILabel::getFontName() const {
    return m_labelRenderer ? m_labelRenderer->getFontName() : "";
}

// --- text area

void UILabel::setTextAreaSize(const CCSize& size) {
    if (!m_labelRenderer) return;
    m_labelRenderer->setDimensions(size);
    rescaleText();
}

void UILabel::setTextHorizontalAlignment(int alignment) {
    if (!m_labelRenderer) return;
    if (alignment < engine::kCCTextAlignmentLeft || alignment > engine::kCCTextAlignmentRight) {
        engine::CCLog("UILabel \"%s\": horizontal alignment %d is not 0, 1 or 2; kept", m_name.c_str(),
                      alignment);
        return;
    }
    m_labelRenderer->setHorizontalAlignment(static_cast<engine::CCTextAlignment>(alignment));
    rescaleText();
}

void UILabel::setTextVerticalAlignment(int alignment) {
    if (!m_labelRenderer) return;
    if (alignment < engine::kCCVerticalTextAlignmentTop ||
        alignment > engine::kCCVerticalTextAlignmentBottom) {
        engine::CCLog("UILabel \"%s\": vertical alignment %d is not 0, 1 or 2; kept", m_name.c_str(),
                      alignment);
        return;
    }
    m_labelRenderer->setVerticalAlignment(static_cast<engine::CCVerticalTextAlignment>(alignment));
    rescaleText();
}

// --- touch scale

void UILabel::setTouchScaleEnabled(bool enabled) {
    m_touchScaleEnabled = enabled;
    if (m_renderer) m_normalScale = m_renderer->getScale();
}

void UILabel::onNormalLook() {
    if (m_touchScaleEnabled && m_renderer) m_renderer->setScale(m_normalScale);
}

void UILabel::onPressedLook() {
    if (m_touchScaleEnabled && m_renderer) m_renderer->setScale(m_normalScale + m_pressedScaleOffset);
}

// --- overrides

void UILabel::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    if (m_labelRenderer) m_labelRenderer->setAnchorPoint(anchor);
}

void UILabel::setFlipX(bool flip) {
    if (m_labelRenderer) m_labelRenderer->setFlipX(flip);
}

bool UILabel::isFlipX() const {
    return m_labelRenderer && m_labelRenderer->isFlipX();
}

void UILabel::setFlipY(bool flip) {
    if (m_labelRenderer) m_labelRenderer->setFlipY(flip);
}

bool UILabel::isFlipY() const {
    return m_labelRenderer && m_labelRenderer->isFlipY();
}

CCSize UILabel::getContentSize() const {
    return m_labelRenderer ? m_labelRenderer->getContentSize() : engine::CCSizeZero;
}

void UILabel::onSizeChanged() {
    rescaleText();
}

void UILabel::rescaleText() {
    m_size = scaleTextNode(m_labelRenderer, m_ignoreSize, m_size);
}

} // namespace gui
