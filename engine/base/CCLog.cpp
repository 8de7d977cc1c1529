#include "engine/base/CCLog.h"

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
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        line.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(line.data(), line.size(), format, args);
        line.resize(static_cast<size_t>(length));
    }
    va_end(args);
    // One line per call: a trailing newline in the format is not doubled.
    while (!line.empty() && line.back() == '\n') line.pop_back();

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
