#pragma once
// Plays an automation script into a running application: touches go through
// the touch dispatcher, keys and text through the view, exactly as real
// input does (touches at exactly the design points written, keys through the
// view's one key path); shots save the frame once it is drawn.
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
    // Shots that could not be saved; the run then must not report success.
    unsigned int failedShots() const { return m_failedShots; }

private:
    ScriptPlayer m_player;
    std::vector<std::string> m_pendingShots;
    unsigned int m_failedShots = 0;
};

} // namespace app
