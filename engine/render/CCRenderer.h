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

    // Change detection, for a loop that draws only when the picture would
    // change. With recording on, every frame's draw calls are written down.
    virtual void setRecording(bool on) = 0;
    // Between these the scene is visited with drawing off; endProbe answers
    // whether it would draw anything else than the last frame shown.
    virtual void beginProbe() = 0;
    virtual bool endProbe() = 0;
    // Whether the last frame shown differed from the one shown before it.
    virtual bool lastFrameChanged() const = 0;
};

} // namespace engine
