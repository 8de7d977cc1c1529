#pragma once
// What the director needs of a renderer to draw a frame; nodes use the
// concrete renderer's drawing calls from their draw().

namespace engine {

class CCRenderer {
public:
    virtual ~CCRenderer() = default;
    // Clears the frame.
    virtual void beginFrame() = 0;
    // Flushes what is batched and shows the frame.
    virtual void endFrame() = 0;
};

} // namespace engine
