#pragma once
// Plays an automation script into a running application: touches go through
// the touch dispatcher, keys and text through the view, exactly as real
// input does (touches at exactly the design points written, keys through the
// view's one key path); shots save the frame once it is drawn, turn shots
// the first frame drawn halfway through a scene change, whatever the
// machine's speed.
#include "app/AutomationScript.h"

#include <string>
#include <vector>

namespace app {

class ScriptDriver {
public:
    explicit ScriptDriver(std::vector<ScriptEvent> events) : m_player(std::move(events)) {}

    // Before a frame: delivers the input that is due at `elapsed` seconds.
    void beforeFrame(double elapsed);
    // After the frame is drawn: saves the shots that were due.
    void afterFrame();
    // Seconds from the start at which beforeFrame next has input to deliver.
    double nextEventTime() const { return m_player.nextTime(); }
    bool takesShots() const { return m_player.takesShots(); }
    // Shots that could not be saved, turn shots still waiting for a scene
    // change among them; the run then must not report success.
    unsigned int failedShots() const {
        return m_failedShots + static_cast<unsigned int>(m_waitingTurnShots.size());
    }

private:
    ScriptPlayer m_player;
    void save(const std::string& file);

    std::vector<std::string> m_pendingShots;
    std::vector<std::string> m_waitingTurnShots;
    unsigned int m_failedShots = 0;
};

} // namespace app
