#pragma once
// A node with colour and opacity. The displayed values are the node's own
// multiplied by its parent's displayed values when the parent cascades.
#include "engine/base/ccTypes.h"
#include "engine/nodes/CCNode.h"

namespace engine {

// Anything that carries colour and opacity: sprites, labels, layers, menus.
class CCRGBAProtocol {
public:
    virtual ~CCRGBAProtocol() = default;
    virtual void setColor(const ccColor3B& color) = 0;
    virtual const ccColor3B& getColor() const = 0;
    virtual const ccColor3B& getDisplayedColor() const = 0;
    virtual void setOpacity(GLubyte opacity) = 0;
    virtual GLubyte getOpacity() const = 0;
    virtual GLubyte getDisplayedOpacity() const = 0;
    virtual bool isCascadeColorEnabled() const = 0;
    virtual void setCascadeColorEnabled(bool enabled) = 0;
    virtual bool isCascadeOpacityEnabled() const = 0;
    virtual void setCascadeOpacityEnabled(bool enabled) = 0;
    virtual void updateDisplayedColor(const ccColor3B& parentColor) = 0;
    virtual void updateDisplayedOpacity(GLubyte parentOpacity) = 0;
};

class CCNodeRGBA : public CCNode, public CCRGBAProtocol {
public:
    static CCNodeRGBA* create();

    void setColor(const ccColor3B& color) override;
    const ccColor3B& getColor() const override { return m_realColor; }
    const ccColor3B& getDisplayedColor() const override { return m_displayedColor; }
    void setOpacity(GLubyte opacity) override;
    GLubyte getOpacity() const override { return m_realOpacity; }
    GLubyte getDisplayedOpacity() const override { return m_displayedOpacity; }
    bool isCascadeColorEnabled() const override { return m_cascadeColor; }
    void setCascadeColorEnabled(bool enabled) override;
    bool isCascadeOpacityEnabled() const override { return m_cascadeOpacity; }
    void setCascadeOpacityEnabled(bool enabled) override;
    void updateDisplayedColor(const ccColor3B& parentColor) override;
    void updateDisplayedOpacity(GLubyte parentOpacity) override;

    // A child joining a cascading parent takes on the parent's displayed values.
    void addChild(CCNode* child, int zOrder, int tag) override;
    using CCNode::addChild;

protected:
    // Sprites and layers refresh their vertex colours here.
    virtual void displayedColorChanged() {}
    ccColor3B parentDisplayedColor() const;
    GLubyte parentDisplayedOpacity() const;

    ccColor3B m_realColor = ccWHITE;
    ccColor3B m_displayedColor = ccWHITE;
    GLubyte m_realOpacity = 255;
    GLubyte m_displayedOpacity = 255;
    bool m_cascadeColor = false;
    bool m_cascadeOpacity = false;
};

} // namespace engine
