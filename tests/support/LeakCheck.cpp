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
    return ::testing::AssertionFailure()
           << "engine objects leaked: " << m_before << " were live at the start, " << now << " are now ("
           << (now - m_before) << " more)";
}

} // namespace testsupport
