#include "support/LeakCheck.h"

namespace testsupport {

LeakCheck::~LeakCheck() {
    if (m_started) {
        EXPECT_TRUE(unchanged());
    }
}

void LeakCheck::start() {
    m_before = m_counter();
    m_started = true;
}

::testing::AssertionResult LeakCheck::unchanged() const {
    long now = m_counter();
    if (now == m_before) return ::testing::AssertionSuccess();
    // Fewer is as wrong: the test freed what it did not make, or the
    // count started before a clean-up that belonged to the set-up.
    return ::testing::AssertionFailure()
           << (now > m_before ? "engine objects leaked" : "fewer engine objects") << ": " << m_before
           << " were live at the start, " << now << " are now";
}

} // namespace testsupport
