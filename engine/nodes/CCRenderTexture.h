#pragma once
// A node that is drawn into and then shows what was drawn. Between begin and
// end every draw goes into its texture, with (0, 0) at its lower-left corner
// and its width and height in points covering it; nodes are drawn into it by
// calling their visit() there. Its sprite, a child centred on the node's
// position, shows the result upright.
//
// The texture holds as many pixels per point as the screen does when it is
// made, so its content looks as sharp as the screen. Drawing needs an open
// view (CCSDLRenderer::current()); without one begin logs and draws nothing.
#include "engine/nodes/CCNode.h"

#include <cstdint>
#include <vector>

namespace engine {

class CCSprite;
class CCTexture2D;

class CCRenderTexture : public CCNode {
  public:
    ~CCRenderTexture() override;
    static CCRenderTexture* create(int width, int height);
    bool initWithWidthAndHeight(int width, int height);

    void begin();
    // Begins and clears to a colour (components 0 to 1).
    void beginWithClear(float r, float g, float b, float a);
    void end();
    // Clears outside begin/end.
    void clear(float r, float g, float b, float a);

    CCSprite* getSprite() const { return m_sprite; }
    CCTexture2D* getTexture() const { return m_texture.get(); }
    // The content as 0xAARRGGBB pixels, rows top to bottom.
    bool readPixels(std::vector<std::uint32_t>& argb, int& width, int& height);

  private:
    CCRenderTexture(); // out of line: the texture's type is complete there

    CCRef<CCTexture2D> m_texture;
    CCSprite* m_sprite = nullptr; // a child
    bool m_drawing = false;
};

} // namespace engine
