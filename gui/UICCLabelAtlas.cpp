#include "gui/UICCLabelAtlas.h"

namespace gui {

UICCLabelAtlas* UICCLabelAtlas::create() {
    auto* node = new UICCLabelAtlas();
    return engine::autoreleasedIf(node->init(), node);
}

void UICCLabelAtlas::setProperty(const std::string& text, const std::string& charMapFile,
                                 unsigned int itemWidth, unsigned int itemHeight, unsigned int startCharMap) {
    initWithString(text.c_str(), charMapFile.c_str(), itemWidth, itemHeight, startCharMap);
}

void UICCLabelAtlas::draw() {
    if (hasAtlas()) CCLabelAtlas::draw();
}

} // namespace gui
