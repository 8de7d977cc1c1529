#pragma once
// The title of a button: a text label that keeps its own colour. It sits
// under the button's render node, which passes its colour down to the
// images; the title takes the button's opacity but never its tint.
#include "engine/text/CCLabelTTF.h"

namespace gui {

class ButtonTitleLabel : public engine::CCLabelTTF {
public:
    // An empty label in the default font, autoreleased; none on failure.
    static ButtonTitleLabel* create();
    void updateDisplayedColor(const engine::ccColor3B& parentColor) override;

protected:
    ButtonTitleLabel() = default;
};

} // namespace gui
