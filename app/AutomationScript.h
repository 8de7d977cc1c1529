#pragma once
// Timed input for automated runs: one event a line, "at SECONDS EVENT".
//
//   at 0.5 down 320 480     touch 0 goes down at a design point
//   at 0.6 move 330 480
//   at 0.7 up 330 480
//   at 1.0 key Return       a key press, by SDL key name (Right, Space, s, F11)
//   at 1.0 text héllo       typed text (the rest of the line, UTF-8)
//   at 2.0 shot out.png     save the frame as drawn
//   at 2.0 turnshot t.png   save the first frame from then on that shows a
//                           scene change halfway (a page curl, a flip)
//   at 3.0 quit
//
// Blank lines and lines starting with '#' are skipped.
#include <optional>
#include <string>
#include <vector>

namespace app {

struct ScriptEvent {
    enum class Kind { Down, Move, Up, Key, Text, Shot, TurnShot, Quit };
    double at = 0;
    Kind kind = Kind::Quit;
    float x = 0, y = 0;
    std::string text; // key name, typed text or file name
    int line = 0;
};

struct ScriptParseResult {
    std::optional<std::vector<ScriptEvent>> events; // in time order; none on error
    std::string error;                              // "FILE:LINE: problem: text of the line"
};

// Larger scripts are refused, not read into memory.
constexpr size_t kMaxScriptBytes = 16u << 20;

ScriptParseResult parseScript(const std::string& text, const std::string& fileName);
// Also refuses folders, unreadable files and scripts over kMaxScriptBytes.
ScriptParseResult loadScript(const std::string& path);
// `text` fit to quote in a message: cut after about 80 bytes, control bytes
// and backslashes as \xNN.
std::string quoteForMessage(const std::string& text);

// Hands out the events that are due, in order.
class ScriptPlayer {
public:
    explicit ScriptPlayer(std::vector<ScriptEvent> events) : m_events(std::move(events)) {}
    // Events whose time is at or before `now` seconds since the start.
    std::vector<ScriptEvent> takeDue(double now);
    bool finished() const { return m_next >= m_events.size(); }
    // When the next event is due; infinity when none is left.
    double nextTime() const;
    // Whether any event saves a frame.
    bool takesShots() const;

private:
    std::vector<ScriptEvent> m_events;
    size_t m_next = 0;
};

} // namespace app
