#pragma once
// The root of a UI layer's widget tree: a panel the size of the window,
// without background or clipping, that takes no touches itself.
#include "gui/Layout.h"

namespace gui {

class UIRootWidget : public Layout {
public:
    ~UIRootWidget() override = default;
    static UIRootWidget* create();
    const char* getKindName() const override { return "RootWidget"; }

protected:
    bool init() override;
};

} // namespace gui
