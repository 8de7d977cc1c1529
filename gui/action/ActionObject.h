#pragma once
// One named animation of a layout file: a time line in frame units of
// `unitTime` seconds, and one track per animated widget.
#include "engine/base/CCObject.h"

#include <string>

namespace Json {
class Value;
}

namespace engine {
class CCArray;
}

namespace gui {

class ActionNode;

class ActionObject : public engine::CCObject {
public:
    ActionObject();
    ~ActionObject() override;
    static ActionObject* create();

    // "name", "loop", "unittime", then a track per "actionnodelist" entry,
    // bound to the widgets under `root` and built.
    void readFromJson(const Json::Value* animation, engine::CCObject* root);

    // Every track plays with the animation's loop flag, or stops.
    void play();
    void stop();

    const std::string& getName() const { return m_name; }
    void setName(const std::string& name) { m_name = name; }
    bool getLoop() const { return m_loop; }
    void setLoop(bool loop) { m_loop = loop; }
    float getUnitTime() const { return m_unitTime; }
    void setUnitTime(float seconds) { m_unitTime = seconds; }
    // The tracks (ActionNode), in file order.
    engine::CCArray* getActionNodes() const { return m_actionNodes.get(); }

private:
    engine::CCRef<engine::CCArray> m_actionNodes;
    std::string m_name;
    bool m_loop = false;
    float m_unitTime = 0.1f;
};

} // namespace gui
