#pragma once
// A render node that its widget can switch off. While off the node draws
// nothing, not even its children: disabling a widget hides its whole subtree
// at once, whatever the kind of render node (plain, clipping, ...).

namespace gui {

class RendererSwitch {
public:
    virtual ~RendererSwitch() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

} // namespace gui
