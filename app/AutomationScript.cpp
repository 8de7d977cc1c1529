#include "app/AutomationScript.h"

#include "engine/platform/CCEGLView.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

bool parseNumber(const std::string& word, double& out) {
    if (word.empty()) return false;
    std::istringstream in(word);
    in >> out;
    return in && in.eof() && std::isfinite(out);
}

// Design points are floats: a number a float cannot hold is no coordinate.
bool parseCoordinate(const std::string& word, float& out) {
    double value;
    if (!parseNumber(word, value) || std::fabs(value) > std::numeric_limits<float>::max()) return false;
    out = static_cast<float>(value);
    return true;
}

std::string trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    size_t end = s.find_last_not_of(" \t\r");
    return s.substr(begin, end - begin + 1);
}

// Parses one non-empty line; returns an error text or "".
std::string parseLine(const std::string& line, ScriptEvent& event) {
    std::istringstream in(line);
    std::string at, seconds, verb;
    in >> at >> seconds >> verb;
    if (at != "at") return "a line starts with 'at SECONDS'";
    if (!parseNumber(seconds, event.at) || event.at < 0) return "'" + seconds + "' is not a time in seconds";
    std::string rest;
    std::getline(in, rest);
    rest = trim(rest);

    if (verb == "down" || verb == "move" || verb == "up") {
        std::istringstream coordinates(rest);
        std::string xs, ys, extra;
        coordinates >> xs >> ys >> extra;
        if (!parseCoordinate(xs, event.x) || !parseCoordinate(ys, event.y) || !extra.empty())
            return "'" + verb + "' takes two numbers, X and Y";
        event.kind = verb == "down"   ? ScriptEvent::Kind::Down
                     : verb == "move" ? ScriptEvent::Kind::Move
                                      : ScriptEvent::Kind::Up;
    } else if (verb == "key" || verb == "text" || verb == "shot" || verb == "turnshot") {
        if (rest.empty()) return "'" + verb + "' needs a value";
        event.kind = verb == "key"    ? ScriptEvent::Kind::Key
                     : verb == "text" ? ScriptEvent::Kind::Text
                     : verb == "shot" ? ScriptEvent::Kind::Shot
                                      : ScriptEvent::Kind::TurnShot;
        event.text = rest;
        // Caught now rather than silently ignored halfway through a run.
        if (event.kind == ScriptEvent::Kind::Key && !engine::CCEGLView::isKeyName(rest))
            return "SDL knows no key named '" + rest + "'";
    } else if (verb == "quit") {
        if (!rest.empty()) return "'quit' takes nothing";
        event.kind = ScriptEvent::Kind::Quit;
    } else {
        return verb.empty() ? "an event is missing" : "unknown event '" + verb + "'";
    }
    return "";
}

} // namespace

std::string quoteForMessage(const std::string& text) {
    constexpr size_t kShown = 80;
    std::string out;
    size_t i = 0;
    for (; i < text.size() && out.size() < kShown; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        // Bytes of UTF-8 sequences pass; control bytes would garble a terminal.
        if (c < 0x20 || c == 0x7f || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (i < text.size()) out += "...";
    return out;
}

ScriptParseResult parseScript(const std::string& text, const std::string& fileName) {
    std::vector<ScriptEvent> events;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string content = trim(line);
        if (content.empty() || content[0] == '#') continue;
        ScriptEvent event;
        event.line = number;
        std::string problem = parseLine(content, event);
        if (!problem.empty())
            return {std::nullopt, fileName + ":" + std::to_string(number) + ": " +
                                      quoteForMessage(problem + ": " + content)};
        events.push_back(event);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.at < b.at; });
    return {events, ""};
}

ScriptParseResult loadScript(const std::string& path) {
    // Opened without blocking and judged on what was opened: a FIFO would
    // hold the program before its first frame for as long as no one writes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {std::nullopt, path + ": cannot read the script (" + std::strerror(errno) + ")"};
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    std::string refusal = !statted                 ? ": cannot read the script"
                          : S_ISDIR(info.st_mode)  ? ": is a folder, not a script"
                          : !S_ISREG(info.st_mode) ? ": is not a regular file, so it cannot be a script"
                                                   : "";
    // Read one byte past the limit to tell a full-size script from a bigger one.
    std::string contents;
    if (refusal.empty()) {
        contents.resize(kMaxScriptBytes + 1);
        size_t done = 0;
        while (done < contents.size()) {
            const ssize_t got = ::read(fd, contents.data() + done, contents.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) refusal = ": cannot read the script";
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        contents.resize(done);
    }
    ::close(fd);
    if (!refusal.empty()) return {std::nullopt, path + refusal};
    if (contents.size() > kMaxScriptBytes)
        return {std::nullopt, path + ": the script is larger than " + std::to_string(kMaxScriptBytes >> 20) +
                                  " MB; split it or drop events"};
    return parseScript(contents, path);
}

bool ScriptPlayer::takesShots() const {
    for (const ScriptEvent& event : m_events)
        if (event.kind == ScriptEvent::Kind::Shot || event.kind == ScriptEvent::Kind::TurnShot) return true;
    return false;
}

double ScriptPlayer::nextTime() const {
    return finished() ? std::numeric_limits<double>::infinity() : m_events[m_next].at;
}

std::vector<ScriptEvent> ScriptPlayer::takeDue(double now) {
    std::vector<ScriptEvent> due;
    // A little slack so that "at 0.5" fires on the frame that lands on 0.5.
    while (m_next < m_events.size() && m_events[m_next].at <= now + 1e-9)
        due.push_back(m_events[m_next++]);
    return due;
}

} // namespace app
