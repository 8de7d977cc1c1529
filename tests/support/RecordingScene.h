#pragma once
// A scene that writes its enter, exit and cleanup calls and its death into
// one shared journal, for tests of the order in which scenes come and go.
#include "engine/base/ccTypes.h"
#include "engine/nodes/CCScene.h"

#include <string>
#include <vector>

namespace testsupport {

// Entries read "<name>.<call>", e.g. "a.onEnter" or "a.deleted".
std::vector<std::string>& sceneJournal();

class RecordingScene : public engine::CCScene {
public:
    static RecordingScene* create(const std::string& name);
    // Filled with one colour, so frames show which scene is drawn.
    static RecordingScene* create(const std::string& name, const engine::ccColor4B& colour);
    ~RecordingScene() override;

    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    void onExitTransitionDidStart() override;
    void onExit() override;
    void cleanup() override;

    // A timer callback that only counts.
    void tick(float) { ++ticks; }
    int ticks = 0;

private:
    explicit RecordingScene(std::string name) : m_name(std::move(name)) {}
    std::string m_name;
};

} // namespace testsupport
