#pragma once
// Children drawn only where the stencil node draws. The stencil is placed
// in the clipping node's space, as a child would be, but is itself never
// drawn.
//
// Clipping goes through the renderer's clip rectangles: the stencil's area
// is the world-space box of what it draws (a draw node's shapes, any other
// node's content rectangle, and those of its visible descendants). That is
// exact for upright rectangles under any translation and scale, uniform or
// not, and nests by intersection; a rotated or non-rectangular stencil
// clips to its box.
//
// A stencil that draws nothing (none, invisible, empty) lets nothing of the
// children through; inverted, it lets all of it through. Inverted clipping
// draws the children once for each of the four bands around the stencil's
// box.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCNode.h"

namespace engine {

class CCClippingNode : public CCNode {
public:
    ~CCClippingNode() override;

    static CCClippingNode* create();
    static CCClippingNode* create(CCNode* stencil);
    bool init() override;
    virtual bool init(CCNode* stencil);

    CCNode* getStencil() const { return m_stencil.get(); }
    // Retained; it enters and exits the running scene with this node.
    void setStencil(CCNode* stencil);
    // Only the stencil's shapes more opaque than this count (draw-node
    // stencils); 1, the default, counts all of them. Kept within 0..1.
    float getAlphaThreshold() const { return m_alphaThreshold; }
    void setAlphaThreshold(float threshold);
    bool isInverted() const { return m_inverted; }
    void setInverted(bool inverted) { m_inverted = inverted; }

    // The world box the stencil covers as of the last visit's transforms;
    // false when it covers nothing.
    bool getStencilWorldRect(CCRect& out);

    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    void onExitTransitionDidStart() override;
    void onExit() override;
    void cleanup() override;
    void visit() override;

protected:
    CCClippingNode() = default;

private:
    void drawContent();

    CCRef<CCNode> m_stencil;
    float m_alphaThreshold = 1.0f;
    bool m_inverted = false;
};

} // namespace engine
