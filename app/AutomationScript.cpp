#include "app/AutomationScript.h"

#include "engine/platform/CCEGLView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

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
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return {std::nullopt, path + ": is a folder, not a script"};
    std::ifstream file(path, std::ios::binary);
    if (!file) return {std::nullopt, path + ": cannot read the script"};
    // Read one byte past the limit to tell a full-size script from a bigger one.
    std::string contents(kMaxScriptBytes + 1, '\0');
    file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (file.bad()) return {std::nullopt, path + ": cannot read the script"};
    contents.resize(static_cast<size_t>(file.gcount()));
    if (contents.size() > kMaxScriptBytes)
        return {std::nullopt, path + ": the script is larger than " + std::to_string(kMaxScriptBytes >> 20) +
                                  " MB; split it or drop events"};
    return parseScript(contents, path);
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
