#include "engine/base/CCLog.h"

#include "engine/base/CCString.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <vector>

namespace engine {

namespace {
struct LogState {
    std::map<int, CCLogListener> listeners;
    int nextId = 1;
    bool echo = true;
};
LogState& state() {
    static LogState s;
    return s;
}
} // namespace

void CCLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = ccFormatV(format, args);
    va_end(args);
    // One line per call: a trailing newline in the format is not doubled.
    while (!line.empty() && line.back() == '\n') line.pop_back();
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';

    if (state().echo) std::fprintf(stderr, "%s\n", line.c_str());
    // Copy so that a listener may remove itself.
    std::vector<CCLogListener> listeners;
    for (auto& [id, listener] : state().listeners) listeners.push_back(listener);
    for (auto& listener : listeners) listener(line);
}

int CCLogAddListener(CCLogListener listener) {
    int id = state().nextId++;
    state().listeners[id] = std::move(listener);
    return id;
}

void CCLogRemoveListener(int id) { state().listeners.erase(id); }

void CCLogSetEchoToStderr(bool echo) { state().echo = echo; }

} // namespace engine
