#pragma once
// The character-map node of UILabelAtlas: the engine's character-map label,
// made empty so that the widget can give it its map later, and drawing only
// once it holds a map. Its opacity is the atlas node's own.
#include "engine/text/CCLabelAtlas.h"

#include <string>

namespace gui {

class UICCLabelAtlas : public engine::CCLabelAtlas {
public:
    // An empty node without a map.
    static UICCLabelAtlas* create();

    // `startCharMap` is the character that the map's first cell shows.
    void setProperty(const std::string& text, const std::string& charMapFile, unsigned int itemWidth,
                     unsigned int itemHeight, unsigned int startCharMap);

    void draw() override;

protected:
    UICCLabelAtlas() = default;
};

} // namespace gui
