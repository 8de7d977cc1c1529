#pragma once
// One key frame of a UI animation track: what a widget should look like at
// a frame index of the time line. Each kind makes the engine action that
// takes a widget from wherever it is to this frame's value.
#include "engine/base/CCObject.h"

namespace engine {
class CCActionInterval;
}

namespace gui {

// The kind of a key frame; also its list's index in a track.
enum ActionFrameType {
    ACTION_FRAME_MOVE = 0,
    ACTION_FRAME_SCALE = 1,
    ACTION_FRAME_ROTATION = 2,
    ACTION_FRAME_TINT = 3,
    ACTION_FRAME_FADE = 4,
    ACTION_FRAME_TYPE_COUNT = 5,
};

class ActionFrame : public engine::CCObject {
public:
    ActionFrame() = default;
    ~ActionFrame() override = default;

    int getFrameType() const { return m_frameType; }
    int getFrameIndex() const { return m_frameIndex; }
    void setFrameIndex(int index) { m_frameIndex = index; }

    // The action reaching this frame's value in `duration` seconds
    // (autoreleased), or none. The base kind has no value to reach.
    virtual engine::CCActionInterval* createAction(float duration);

protected:
    int m_frameType = ACTION_FRAME_MOVE;
    int m_frameIndex = 0;
};

} // namespace gui
