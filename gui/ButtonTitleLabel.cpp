#include "gui/ButtonTitleLabel.h"

namespace gui {

ButtonTitleLabel* ButtonTitleLabel::create() {
    auto* label = new ButtonTitleLabel();
    if (!label->init()) {
        label->release();
        return nullptr;
    }
    label->autorelease();
    return label;
}

void ButtonTitleLabel::updateDisplayedColor(const engine::ccColor3B& /*parentColor*/) {
    CCLabelTTF::updateDisplayedColor(engine::ccWHITE);
}

} // namespace gui
