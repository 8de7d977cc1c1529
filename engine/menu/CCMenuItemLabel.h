#pragma once
// A menu item shown by one node of any kind, its label: a text label, or a
// colour layer with text on it. The item takes the label's size, with the
// label's rectangle at the item's origin.
//
// While selected the label grows slightly about its anchor point (the item
// itself keeps its size, so the touch area does not grow with it). While
// disabled a label that has a colour shows the disabled colour instead.
#include "engine/base/ccTypes.h"
#include "engine/menu/CCMenuItem.h"

namespace engine {

class CCMenuItemLabel : public CCMenuItem {
public:
    static CCMenuItemLabel* create(CCNode* label);
    static CCMenuItemLabel* create(CCNode* label, CCObject* target, SEL_MenuHandler selector);
    bool initWithLabel(CCNode* label, CCObject* target, SEL_MenuHandler selector);

    // Replaces the label (the old one leaves the item).
    void setLabel(CCNode* label);
    CCNode* getLabel() const { return m_label; }
    // Changes the text of a label that has one (and the item's size with it).
    void setString(const char* text);
    const char* getString() const;
    const ccColor3B& getDisabledColor() const { return m_disabledColor; }

    void selected() override;
    void unselected() override;
    void setEnabled(bool enabled) override;

    // How much the label grows while selected.
    static constexpr float kSelectedScale = 1.1f;

protected:
    CCMenuItemLabel() = default;
    // Sizes the item after its label (after the label's content changed).
    void fitToLabel();

private:
    void applyLabelColour();

    CCNode* m_label = nullptr; // a child
    ccColor3B m_disabledColor{126, 126, 126};
    ccColor3B m_labelColour = ccWHITE;                // the label's own colour, restored when enabled again
    float m_labelScaleX = 1.0f, m_labelScaleY = 1.0f; // the label's scale when not selected
};

} // namespace engine
