#include "gui/ButtonTitleLabel.h"

namespace gui {

ButtonTitleLabel* ButtonTitleLabel::create() {
    auto* label = new ButtonTitleLabel();
    return engine::autoreleasedIf(label->init(), label);
}

void ButtonTitleLabel::updateDisplayedColor(const engine::ccColor3B& /*parentColor*/) {
    CCLabelTTF::updateDisplayedColor(engine::ccWHITE);
}

} // namespace gui
