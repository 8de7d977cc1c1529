#pragma once
// Fails the running test when engine objects outlive it: start() counts the
// live objects, and the check expects the same count again when it is
// destroyed, after the test's own clean-up (a fixture's TearDown) has run.
#include "engine/base/CCObject.h"

#include <gtest/gtest.h>

namespace testsupport {

class LeakCheck {
public:
    using Counter = long (*)();
    // Counts with `counter`: the plain count of live objects, or
    // HeadlessView::settledObjectCount where a scene and cached textures may
    // still hold objects that are not leaks.
    explicit LeakCheck(Counter counter = &engine::CCObject::liveObjectCount) : m_counter(counter) {}
    ~LeakCheck();
    LeakCheck(const LeakCheck&) = delete;
    LeakCheck& operator=(const LeakCheck&) = delete;

    // Takes the count to come back to; unstarted, the check expects nothing.
    void start();
    // Whether the count is back at start()'s, for a check before the end.
    ::testing::AssertionResult unchanged() const;

private:
    Counter m_counter;
    long m_before = 0;
    bool m_started = false;
};

} // namespace testsupport
