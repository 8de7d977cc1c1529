#include "engine/text/CCLabelAtlas.h"

#include "engine/text/ccUTF8.h"

namespace engine {

CCLabelAtlas* CCLabelAtlas::create(const char* text, const char* charMapFile, unsigned int itemWidth,
                                   unsigned int itemHeight, unsigned int startCharMap) {
    auto* label = new CCLabelAtlas();
    return autoreleasedIf(label->initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap), label);
}

bool CCLabelAtlas::initWithString(const char* text, const char* charMapFile, unsigned int itemWidth,
                                  unsigned int itemHeight, unsigned int startCharMap) {
    m_string = text ? text : "";
    m_startCharMap = startCharMap;
    if (!initWithTileFile(charMapFile, itemWidth, itemHeight, static_cast<unsigned int>(m_string.size())))
        return false;
    updateAtlasValues();
    return true;
}

void CCLabelAtlas::setString(const char* text) {
    std::string value = text ? text : "";
    if (value == m_string) return;
    m_string = std::move(value);
    updateAtlasValues();
}

void CCLabelAtlas::updateAtlasValues() {
    m_quads.clear();
    std::vector<char32_t> chars = ccUTF8Decode(m_string);
    unsigned long cells = static_cast<unsigned long>(m_itemsPerRow) * m_itemsPerColumn;
    for (std::size_t i = 0; i < chars.size() && hasAtlas(); ++i) {
        if (chars[i] < m_startCharMap || chars[i] - m_startCharMap >= cells) continue;
        Quad quad;
        quad.rect = CCRect(static_cast<float>(i * m_itemWidth), 0, static_cast<float>(m_itemWidth),
                           static_cast<float>(m_itemHeight));
        quad.texRect = itemRect(static_cast<unsigned int>(chars[i] - m_startCharMap));
        m_quads.push_back(quad);
    }
    setContentSize(CCSize(static_cast<float>(chars.size() * m_itemWidth), static_cast<float>(m_itemHeight)));
}

} // namespace engine
