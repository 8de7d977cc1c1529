#pragma once
// Diagnostic lines: printf-style, one line per call, to standard error and to
// any listeners (the log file of --log, tests that assert on log lines).
#include <functional>
#include <string>

namespace engine {

void CCLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

using CCLogListener = std::function<void(const std::string& line)>;
// Returns an id for CCLogRemoveListener.
int CCLogAddListener(CCLogListener listener);
void CCLogRemoveListener(int id);
// Tests silence standard error; listeners still hear every line.
void CCLogSetEchoToStderr(bool echo);

} // namespace engine
