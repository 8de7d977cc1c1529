#include "gui/action/ActionObject.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"
#include "gui/LayoutReader.h"
#include "gui/action/ActionNode.h"

namespace gui {

ActionObject::ActionObject() : m_actionNodes(engine::CCArray::create()) {}

ActionObject::~ActionObject() = default;

ActionObject* ActionObject::create() {
    return engine::autoreleased(new ActionObject());
}

void ActionObject::readFromJson(const Json::Value* animation, engine::CCObject* root) {
    // A name that is missing or not a string reads as empty.
    const char* name = LayoutReader::getStringValue(animation, "name");
    m_name = name ? name : "";
    m_loop = LayoutReader::getBoolValue(animation, "loop");
    m_unitTime = LayoutReader::getFloatValue(animation, "unittime");
    int count = LayoutReader::getArrayCount(animation, "actionnodelist");
    for (int i = 0; i < count; ++i) {
        const Json::Value* track = LayoutReader::getObjectFromArray(animation, "actionnodelist", i);
        if (!track) {
            engine::CCLog("ActionObject: track %d of animation \"%s\" is not an object; skipped", i,
                          m_name.c_str());
            continue;
        }
        ActionNode* node = ActionNode::create();
        node->readFromJson(track, root);
        node->setUnitTime(m_unitTime);
        node->buildAction();
        m_actionNodes->addObject(node);
    }
}

void ActionObject::play() {
    for (engine::CCObject* node : *m_actionNodes)
        static_cast<ActionNode*>(node)->play(m_loop);
}

void ActionObject::stop() {
    for (engine::CCObject* node : *m_actionNodes)
        static_cast<ActionNode*>(node)->stop();
}

} // namespace gui
