#include "engine/audio/TestAudioBackend.h"

#include "engine/audio/NarrationCheck.h"
#include "engine/platform/CCClock.h"

#include "engine/audio/Mp3Track.h"

#include <cmath>

namespace engine {

bool TestAudioBackend::playBytes(const std::string&, std::shared_ptr<const std::string> bytes, bool loop,
                                 std::string& error) {
    m_active = false;
    if (!bytes) {
        error = "no data";
        return false;
    }
    error = narrationProblemInBytes(*bytes);
    if (!error.empty()) return false;
    return start(std::move(bytes), loop, error);
}

bool TestAudioBackend::start(std::shared_ptr<const std::string> bytes, bool loop, std::string& error) {
    // Only the length is kept; the bytes may go once it is known. A length
    // that cannot be told counts as ended at once.
    Mp3Track track;
    if (!track.open(std::move(bytes), error)) return false;
    m_duration = track.seconds();
    m_start = m_stalledAt >= 0 ? m_stalledAt : CCClock::now();
    m_loop = loop;
    m_active = true;
    return true;
}

double TestAudioBackend::played() const {
    return (m_stalledAt >= 0 ? m_stalledAt : CCClock::now()) - m_start;
}

bool TestAudioBackend::isPlaying() {
    return m_active && (m_loop || played() < m_duration);
}

double TestAudioBackend::position() {
    if (!isPlaying()) return -1.0;
    double at = played() - m_lag;
    if (m_loop && m_duration > 0) at = std::fmod(at, m_duration);
    return at > 0 ? at : 0.0;
}

bool TestAudioBackend::seek(double seconds) {
    if (!m_active) return false;
    m_start = (m_stalledAt >= 0 ? m_stalledAt : CCClock::now()) - seconds;
    return true;
}

void TestAudioBackend::setStalled(bool stalled) {
    if (stalled == (m_stalledAt >= 0)) return;
    if (stalled) {
        m_stalledAt = CCClock::now();
    } else {
        m_start += CCClock::now() - m_stalledAt;
        m_stalledAt = -1.0;
    }
}

} // namespace engine
