#include "gui/UILabelBMFont.h"

#include "engine/base/CCLog.h"
#include "engine/text/CCLabelBMFont.h"
#include "gui/TextNodeScale.h"

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

UILabelBMFont::UILabelBMFont() = default;

UILabelBMFont::~UILabelBMFont() {
    UILabelBMFont::releaseResources();
}

UILabelBMFont* UILabelBMFont::create() {
    return createWidget<UILabelBMFont>();
}

void UILabelBMFont::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_labelBMFontRenderer = engine::CCLabelBMFont::create();
    if (!m_labelBMFontRenderer) {
        m_renderer = nullptr;
        return;
    }
    m_labelBMFontRenderer->setAnchorPoint(m_anchorPoint);
    m_renderer->addChild(m_labelBMFontRenderer);
}

void UILabelBMFont::releaseResources() {
    m_labelBMFontRenderer = nullptr; // the renderer's child, freed with it
    UIWidget::releaseResources();
}

// --- font and text

void UILabelBMFont::setFontFile(const char* fileName) {
    if (!fileName || !*fileName || !m_labelBMFontRenderer) return;
    m_labelBMFontRenderer->initWithString("", fileName, engine::kCCLabelAutomaticWidth,
                                          engine::kCCTextAlignmentLeft, engine::CCPointZero);
    // The node's initialisation centres its anchor.
    m_labelBMFontRenderer->setAnchorPoint(m_anchorPoint);
    rescaleText();
    m_fontFileSet = true;
}

void UILabelBMFont::setText(const char* text) {
    if (!text || !m_labelBMFontRenderer) return;
    if (!m_fontFileSet) {
        // The layout reader sets the font first; any other order is the caller's slip.
        if (*text)
            engine::CCLog("UILabelBMFont \"%s\": text \"%s\" comes before a font file and is dropped",
                          m_name.c_str(), text);
        return;
    }
    m_labelBMFontRenderer->setString(text);
    rescaleText();
}

const char* UILabelBMFont::getStringValue() const {
    return m_labelBMFontRenderer ? m_labelBMFontRenderer->getString() : "";
}

// --- overrides

void UILabelBMFont::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    if (m_labelBMFontRenderer) m_labelBMFontRenderer->setAnchorPoint(anchor);
}

CCSize UILabelBMFont::getContentSize() const {
    return m_labelBMFontRenderer ? m_labelBMFontRenderer->getContentSize() : engine::CCSizeZero;
}

void UILabelBMFont::onSizeChanged() {
    rescaleText();
}

void UILabelBMFont::rescaleText() {
    m_size = scaleTextNode(m_labelBMFontRenderer, m_ignoreSize, m_size);
}

} // namespace gui
