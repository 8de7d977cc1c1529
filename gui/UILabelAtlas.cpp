#include "gui/UILabelAtlas.h"

#include "engine/base/CCLog.h"
#include "engine/text/ccUTF8.h"
#include "gui/TextNodeScale.h"
#include "gui/UICCLabelAtlas.h"

namespace gui {

using engine::CCPoint;
using engine::CCSize;

// --- creation

UILabelAtlas::UILabelAtlas() = default;

UILabelAtlas::~UILabelAtlas() {
    UILabelAtlas::releaseResources();
}

UILabelAtlas* UILabelAtlas::create() {
    return createWidget<UILabelAtlas>();
}

void UILabelAtlas::initRenderer() {
    UIWidget::initRenderer();
    if (!m_renderer) return;
    m_laRenderer = UICCLabelAtlas::create();
    if (!m_laRenderer) {
        m_renderer = nullptr;
        return;
    }
    m_laRenderer->setAnchorPoint(m_anchorPoint);
    m_renderer->addChild(m_laRenderer);
}

void UILabelAtlas::releaseResources() {
    m_laRenderer = nullptr; // the renderer's child, freed with it
    UIWidget::releaseResources();
}

// --- map and text

void UILabelAtlas::setProperty(const std::string& stringValue, const std::string& charMapFile, int itemWidth,
                               int itemHeight, const std::string& startCharMap) {
    if (!m_laRenderer) return;
    if (itemWidth <= 0 || itemHeight <= 0)
        engine::CCLog("UILabelAtlas \"%s\": cells of %d x %d for %s are not a size; nothing is drawn",
                      m_name.c_str(), itemWidth, itemHeight, charMapFile.c_str());
    // A negative size would turn into a huge unsigned one.
    auto cell = [](int length) { return length > 0 ? static_cast<unsigned int>(length) : 0u; };
    std::size_t pos = 0;
    unsigned int first =
        startCharMap.empty() ? 0u : static_cast<unsigned int>(engine::ccUTF8Next(startCharMap, pos));
    m_laRenderer->setProperty(stringValue, charMapFile, cell(itemWidth), cell(itemHeight), first);
    m_laRenderer->setAnchorPoint(m_anchorPoint);
    rescaleText();
}

void UILabelAtlas::setStringValue(const char* text) {
    if (!text || !m_laRenderer) return;
    m_laRenderer->setString(text);
    rescaleText();
}

const char* UILabelAtlas::getStringValue() const {
    return m_laRenderer ? m_laRenderer->getString() : "";
}

// --- overrides

void UILabelAtlas::setAnchorPoint(const CCPoint& anchor) {
    UIWidget::setAnchorPoint(anchor);
    if (m_laRenderer) m_laRenderer->setAnchorPoint(anchor);
}

CCSize UILabelAtlas::getContentSize() const {
    return m_laRenderer ? m_laRenderer->getContentSize() : engine::CCSizeZero;
}

void UILabelAtlas::onSizeChanged() {
    rescaleText();
}

void UILabelAtlas::rescaleText() {
    m_size = scaleTextNode(m_laRenderer, m_ignoreSize, m_size);
}

} // namespace gui
