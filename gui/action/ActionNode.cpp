#include "gui/action/ActionNode.h"

#include "engine/actions/CCRepeatForever.h"
#include "engine/actions/CCSequence.h"
#include "engine/actions/CCSpawn.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"
#include "engine/nodes/CCNode.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIToolkit.h"
#include "gui/action/ActionFadeFrame.h"
#include "gui/action/ActionMoveFrame.h"
#include "gui/action/ActionRotationFrame.h"
#include "gui/action/ActionScaleFrame.h"
#include "gui/action/ActionTintFrame.h"
#include "gui/action/WidgetColorTo.h"

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

using Reader = LayoutReader;

// Two frame times this close are the same instant.
constexpr double kSameTime = 1e-6;

engine::GLubyte lowByte(int value) {
    return static_cast<engine::GLubyte>(static_cast<unsigned int>(value) & 0xffu);
}

} // namespace

ActionNode::ActionNode() {
    for (auto& frames : m_frames)
        frames = engine::CCArray::create();
}

ActionNode::~ActionNode() {
    stopPlayedAction();
}

ActionNode* ActionNode::create() {
    return engine::autoreleased(new ActionNode());
}

engine::CCArray* ActionNode::getFrames(int type) const {
    return type >= 0 && type < ACTION_FRAME_TYPE_COUNT ? m_frames[type].get() : nullptr;
}

void ActionNode::addFrame(ActionFrame* frame) {
    if (engine::CCArray* frames = frame ? getFrames(frame->getFrameType()) : nullptr)
        frames->addObject(frame);
}

// --- reading

void ActionNode::readFromJson(const Json::Value* track, engine::CCObject* root) {
    m_actionTag = Reader::getIntValue(track, "ActionTag");
    int count = Reader::getArrayCount(track, "actionframelist");
    for (int i = 0; i < count; ++i) {
        const Json::Value* entry = Reader::getObjectFromArray(track, "actionframelist", i);
        if (!entry) {
            engine::CCLog(
                "ActionNode: key frame %d of the track with action tag %d is not an object; skipped", i,
                m_actionTag);
            continue;
        }
        int index = Reader::getIntValue(entry, "frameid");
        if (Reader::checkObjectExist(entry, "positionx")) {
            ActionMoveFrame* frame = ActionMoveFrame::create();
            frame->setPosition(
                {Reader::getFloatValue(entry, "positionx"), Reader::getFloatValue(entry, "positiony")});
            frame->setFrameIndex(index);
            addFrame(frame);
        }
        if (Reader::checkObjectExist(entry, "scalex")) {
            ActionScaleFrame* frame = ActionScaleFrame::create();
            frame->setScaleX(Reader::getFloatValue(entry, "scalex"));
            frame->setScaleY(Reader::getFloatValue(entry, "scaley"));
            frame->setFrameIndex(index);
            addFrame(frame);
        }
        if (Reader::checkObjectExist(entry, "rotation")) {
            ActionRotationFrame* frame = ActionRotationFrame::create();
            frame->setRotation(Reader::getFloatValue(entry, "rotation"));
            frame->setFrameIndex(index);
            addFrame(frame);
        }
        if (Reader::checkObjectExist(entry, "opacity")) {
            ActionFadeFrame* frame = ActionFadeFrame::create();
            frame->setOpacity(static_cast<float>(Reader::getIntValue(entry, "opacity")));
            frame->setFrameIndex(index);
            addFrame(frame);
        }
        if (Reader::checkObjectExist(entry, "colorr")) {
            ActionTintFrame* frame = ActionTintFrame::create();
            frame->setColor({lowByte(Reader::getIntValue(entry, "colorr")),
                             lowByte(Reader::getIntValue(entry, "colorg")),
                             lowByte(Reader::getIntValue(entry, "colorb"))});
            frame->setFrameIndex(index);
            addFrame(frame);
        }
    }
    bindTarget(root);
}

void ActionNode::bindTarget(engine::CCObject* root) {
    if (auto* widget = dynamic_cast<UIWidget*>(root)) {
        if (UIWidget* target = UIToolkit::findWidgetByActionTag(widget, m_actionTag))
            m_target = target->weakHandle();
    } else if (dynamic_cast<engine::CCNode*>(root)) {
        engine::CCLog("Need a definition of <initActionNodeFromRoot> for gameObject");
    }
}

engine::CCNode* ActionNode::getTargetNode() const {
    UIWidget* widget = getTarget();
    return widget ? widget->getRenderer() : nullptr;
}

// --- building and playing

double ActionNode::frameTime(const ActionFrame* frame) const {
    return static_cast<double>(frame->getFrameIndex()) * m_unitTime;
}

engine::CCActionInterval* ActionNode::frameAction(ActionFrame* frame, float duration) const {
    UIWidget* widget = getTarget();
    if (dynamic_cast<Layout*>(widget)) {
        if (auto* tint = dynamic_cast<ActionTintFrame*>(frame))
            return WidgetColorTo::createTint(duration, widget, tint->getColor());
        if (auto* fade = dynamic_cast<ActionFadeFrame*>(frame))
            return WidgetColorTo::createFade(duration, widget, fade->getTargetOpacity());
    }
    return frame->createAction(duration);
}

engine::CCSpawn* ActionNode::buildAction() {
    if (!getTarget()) return nullptr;
    engine::CCArray* sequences = engine::CCArray::create();
    for (const auto& frames : m_frames) {
        engine::CCArray* steps = engine::CCArray::create();
        for (unsigned int j = 1; j < frames->count(); ++j) {
            auto* previous = static_cast<ActionFrame*>(frames->objectAtIndex(j - 1));
            auto* frame = static_cast<ActionFrame*>(frames->objectAtIndex(j));
            auto duration = static_cast<float>(frameTime(frame) - frameTime(previous));
            if (engine::CCActionInterval* step = frameAction(frame, duration)) steps->addObject(step);
        }
        if (engine::CCSequence* sequence = engine::CCSequence::create(steps)) sequences->addObject(sequence);
    }
    engine::CCSpawn* spawn = engine::CCSpawn::create(sequences);
    // A played action still running would be left without an owner to stop it.
    stopPlayedAction();
    m_playedAction = nullptr;
    m_action = spawn;
    return spawn;
}

void ActionNode::stopPlayedAction() {
    engine::CCNode* node = getTargetNode();
    if (node && m_playedAction) node->stopAction(m_playedAction.get());
}

void ActionNode::play(bool loop) {
    if (!getTarget() || !m_action) return;
    // The previous play shares the built action: it must not run on beside the new one.
    stopPlayedAction();
    m_playedAction = nullptr;
    if (loop)
        m_playedAction = engine::CCRepeatForever::create(m_action.get());
    else
        m_playedAction = engine::CCSequence::create(m_action.get(), nullptr);
    runOnTarget();
}

void ActionNode::runOnTarget() {
    engine::CCNode* node = getTargetNode();
    if (node && m_playedAction) node->runAction(m_playedAction.get());
}

void ActionNode::stop() {
    stopPlayedAction();
}

// --- seeking

bool ActionNode::updateToTime(float time) {
    bool found = false;
    for (const auto& frames : m_frames) {
        unsigned int count = frames->count();
        for (unsigned int j = 0; j < count; ++j) {
            auto* frame = static_cast<ActionFrame*>(frames->objectAtIndex(j));
            double at = frameTime(frame);
            if (std::fabs(at - time) <= kSameTime) {
                setToFrame(1.0f, 1.0f, frame);
                found = true;
                break;
            }
            if (at > time) {
                if (j == 0) {
                    setToFrame(1.0f, 1.0f, frame);
                    found = false;
                } else {
                    auto* previous = static_cast<ActionFrame*>(frames->objectAtIndex(j - 1));
                    auto duration = static_cast<float>(at - frameTime(previous));
                    setToFrame(duration, 1.0f, previous);
                    // Frames out of order give a negative span: never set beyond either frame.
                    double progress = duration > 0 ? (time - frameTime(previous)) / duration : 1.0;
                    setToFrame(duration, static_cast<float>(std::clamp(progress, 0.0, 1.0)), frame);
                    found = true;
                }
                break;
            }
        }
    }
    return found;
}

void ActionNode::setToFrame(float duration, float progress, ActionFrame* frame) {
    if (!frame) return;
    engine::CCActionInterval* action = frameAction(frame, duration);
    engine::CCNode* node = getTargetNode();
    if (!action || !node) return;
    action->startWithTarget(node);
    action->update(progress);
}

} // namespace gui
