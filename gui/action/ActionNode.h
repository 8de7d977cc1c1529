#pragma once
// One track of a UI animation: the key frames of one widget, found by its
// action tag, in five lists (one per kind, in file order), and the engine
// action built from them: the kinds run side by side, each kind's frames
// one after another. The first frame of a kind makes no step: playing
// starts from the widget's current state.
//
// The widget is held weakly: once it is gone the track does nothing.
#include "engine/base/CCObject.h"
#include "gui/UIWidget.h"
#include "gui/action/ActionFrame.h"

#include <array>

namespace Json {
class Value;
}

namespace engine {
class CCAction;
class CCActionInterval;
class CCArray;
class CCNode;
class CCSpawn;
} // namespace engine

namespace gui {

class ActionNode : public engine::CCObject {
public:
    ActionNode();
    ~ActionNode() override;
    // Five empty key-frame lists, unit time 0.1 s.
    static ActionNode* create();

    // --- virtual operations, in slot order
    // Sets the widget to where the time line stands at `time` seconds; true
    // when some kind lies at or between its frames there.
    virtual bool updateToTime(float time);
    // Runs the built action on the widget, for ever when `loop`.
    virtual void play(bool loop);
    virtual void stop();
    // Action tag and key frames of one "actionnodelist" entry, then bindTarget.
    virtual void readFromJson(const Json::Value* track, engine::CCObject* root);
    // The widget's render node, or none.
    virtual engine::CCNode* getTargetNode() const;
    // None without a widget; an empty spawn for a track without steps.
    virtual engine::CCSpawn* buildAction();
    virtual void runOnTarget();
    // The widget under `root` with this track's action tag.
    virtual void bindTarget(engine::CCObject* root);
    // Starts the frame's action on the widget and sets it at once to
    // `progress` (0 start, 1 end) of it; nothing is scheduled.
    virtual void setToFrame(float duration, float progress, ActionFrame* frame);

    // --- data
    float getUnitTime() const { return m_unitTime; }
    void setUnitTime(float seconds) { m_unitTime = seconds; }
    int getActionTag() const { return m_actionTag; }
    void setActionTag(int tag) { m_actionTag = tag; }
    UIWidget* getTarget() const { return UIWidget::resolve(m_target); }
    // The frames of one kind (ActionFrameType), in file order; none for another number.
    engine::CCArray* getFrames(int type) const;
    void addFrame(ActionFrame* frame);
    engine::CCSpawn* getBuiltAction() const { return m_action.get(); }
    engine::CCAction* getPlayedAction() const { return m_playedAction.get(); }

private:
    // The frame's action; panels take colour through the widget.
    engine::CCActionInterval* frameAction(ActionFrame* frame, float duration) const;
    double frameTime(const ActionFrame* frame) const;
    void stopPlayedAction();

    float m_unitTime = 0.1f;
    int m_actionTag = 0;
    UIWidget::WeakHandle m_target;
    // Released in the reverse order: the built action, the played one, the frames.
    std::array<engine::CCRef<engine::CCArray>, ACTION_FRAME_TYPE_COUNT> m_frames;
    engine::CCRef<engine::CCAction> m_playedAction;
    engine::CCRef<engine::CCSpawn> m_action;
};

} // namespace gui
