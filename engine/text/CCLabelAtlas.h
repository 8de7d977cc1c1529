#pragma once
// Text drawn from a character map: an image cut into equal cells, the first
// cell showing `startCharMap` and the following cells the following
// characters, row by row. Each character of the text (a UTF-8 code point)
// takes one cell's width; a character that the map does not hold is skipped
// and leaves its cell empty. The content size is the text's length in cells
// by the item height.
#include "engine/text/CCAtlasNode.h"
#include "engine/text/CCLabelProtocol.h"

#include <string>

namespace engine {

class CCLabelAtlas : public CCAtlasNode, public CCLabelProtocol {
public:
    static CCLabelAtlas* create(const char* text, const char* charMapFile, unsigned int itemWidth,
                                unsigned int itemHeight, unsigned int startCharMap);
    // False only when no map file is named.
    virtual bool initWithString(const char* text, const char* charMapFile, unsigned int itemWidth,
                                unsigned int itemHeight, unsigned int startCharMap);

    void setString(const char* text) override;
    const char* getString() const override { return m_string.c_str(); }
    unsigned int getStartCharMap() const { return m_startCharMap; }

    void updateAtlasValues() override;

protected:
    CCLabelAtlas() = default;

    std::string m_string;
    unsigned int m_startCharMap = 0;
};

} // namespace engine
