#pragma once
// Colour and opacity for any kind of node. The displayed values are the
// node's own multiplied by its parent's displayed values when the parent
// cascades; a cascading node passes its displayed values to its children,
// also to children that join later.
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

template <class Base> class CCRGBAMixin : public Base, public CCRGBAProtocol {
public:
    void setColor(const ccColor3B& color) override {
        m_realColor = color;
        auto* parent = dynamic_cast<CCRGBAProtocol*>(this->m_parent);
        updateDisplayedColor(parent && parent->isCascadeColorEnabled() ? parent->getDisplayedColor() : ccWHITE);
    }
    const ccColor3B& getColor() const override { return m_realColor; }
    const ccColor3B& getDisplayedColor() const override { return m_displayedColor; }

    void setOpacity(GLubyte opacity) override {
        m_realOpacity = opacity;
        auto* parent = dynamic_cast<CCRGBAProtocol*>(this->m_parent);
        updateDisplayedOpacity(parent && parent->isCascadeOpacityEnabled() ? parent->getDisplayedOpacity() : 255);
    }
    GLubyte getOpacity() const override { return m_realOpacity; }
    GLubyte getDisplayedOpacity() const override { return m_displayedOpacity; }

    bool isCascadeColorEnabled() const override { return m_cascadeColor; }
    void setCascadeColorEnabled(bool enabled) override {
        m_cascadeColor = enabled;
        // Children go back to their own colour when cascading stops.
        forEachRGBAChild([&](CCRGBAProtocol* c) { c->updateDisplayedColor(enabled ? m_displayedColor : ccWHITE); });
    }
    bool isCascadeOpacityEnabled() const override { return m_cascadeOpacity; }
    void setCascadeOpacityEnabled(bool enabled) override {
        m_cascadeOpacity = enabled;
        forEachRGBAChild([&](CCRGBAProtocol* c) { c->updateDisplayedOpacity(enabled ? m_displayedOpacity : 255); });
    }

    void updateDisplayedColor(const ccColor3B& parentColor) override {
        m_displayedColor = {multiply(m_realColor.r, parentColor.r), multiply(m_realColor.g, parentColor.g),
                            multiply(m_realColor.b, parentColor.b)};
        displayedColorChanged();
        if (m_cascadeColor) forEachRGBAChild([&](CCRGBAProtocol* c) { c->updateDisplayedColor(m_displayedColor); });
    }
    void updateDisplayedOpacity(GLubyte parentOpacity) override {
        m_displayedOpacity = multiply(m_realOpacity, parentOpacity);
        displayedColorChanged();
        if (m_cascadeOpacity)
            forEachRGBAChild([&](CCRGBAProtocol* c) { c->updateDisplayedOpacity(m_displayedOpacity); });
    }

    void addChild(CCNode* child, int zOrder, int tag) override {
        Base::addChild(child, zOrder, tag);
        if (!child || child->getParent() != this) return;
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) {
            if (m_cascadeColor) rgba->updateDisplayedColor(m_displayedColor);
            if (m_cascadeOpacity) rgba->updateDisplayedOpacity(m_displayedOpacity);
        }
    }
    using Base::addChild;

protected:
    // Sprites and layers refresh their vertex colours here.
    virtual void displayedColorChanged() {}

    ccColor3B m_realColor = ccWHITE;
    ccColor3B m_displayedColor = ccWHITE;
    GLubyte m_realOpacity = 255;
    GLubyte m_displayedOpacity = 255;
    bool m_cascadeColor = false;
    bool m_cascadeOpacity = false;

private:
    static GLubyte multiply(GLubyte a, GLubyte b) { return static_cast<GLubyte>(a * b / 255); }
    template <class Call> void forEachRGBAChild(Call call) {
        for (CCNode* child : this->m_children)
            if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(child)) call(rgba);
    }
};

} // namespace engine
