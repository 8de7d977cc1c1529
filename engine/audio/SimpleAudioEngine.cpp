#include "engine/audio/SimpleAudioEngine.h"

#include "engine/audio/MixerAudioBackend.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace engine {

namespace {
SimpleAudioEngine* g_engine = nullptr;
} // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine() {
    if (!g_engine) g_engine = new SimpleAudioEngine();
    return g_engine;
}

void SimpleAudioEngine::end() {
    delete g_engine; // the backend's destructor halts the track and closes the device
    g_engine = nullptr;
}

SimpleAudioEngine::SimpleAudioEngine() : m_backend(std::make_unique<MixerAudioBackend>()) {}

void SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop) {
    std::string error;
    if (!playBackgroundMusic(path, loop, &error))
        CCLog("SimpleAudioEngine: cannot play '%s': %s", path ? path : "", error.c_str());
}

bool SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop, std::string* whyNot) {
    std::string name = path ? path : "";
    CCLog("audio: play %s", name.c_str());
    std::string error;
    if (name.empty())
        error = "no file name";
    else if (m_resolver)
        playByPath(name, loop, error);
    else
        playFromBook(name, loop, error);
    if (error.empty()) return true;
    // The request replaces the previous track even when it fails.
    m_backend->stop();
    if (whyNot) *whyNot = error;
    return false;
}

bool SimpleAudioEngine::playBackgroundMusicFrom(const char* path, double seconds, std::string* whyNot) {
    if (!(seconds > 0)) return playBackgroundMusic(path, false, whyNot);
    // Silent until it has moved, so that the track's first moment is not heard.
    m_backend->setVolume(0.0f);
    const bool playing = playBackgroundMusic(path, false, whyNot);
    if (playing) {
        CCLog("audio: seek %.3f", seconds);
        if (!m_backend->seek(seconds))
            CCLog("SimpleAudioEngine: cannot start '%s' at %.3f s; it plays from its start", path, seconds);
    }
    m_backend->setVolume(m_volume);
    return playing;
}

double SimpleAudioEngine::getBackgroundMusicPosition() {
    return m_backend->position();
}

void SimpleAudioEngine::playFromBook(const std::string& name, bool loop, std::string& error) {
    // The sound is read once, checked on its open file, and decoded from
    // memory: a name that the decoder opened again after the check might by
    // then lead to a FIFO and block for good.
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    std::optional<std::string> bytes = files->getFileData(name, &readError, CCFileUtils::FileKind::Sound);
    if (!bytes) {
        error = files->describe(readError);
        return;
    }
    const std::string fullPath = files->fullPathForFilename(name);
    if (!m_backend->playBytes(fullPath, std::make_shared<const std::string>(std::move(*bytes)), loop,
                              error) &&
        error.empty())
        error = "it cannot be played";
}

void SimpleAudioEngine::playByPath(const std::string& name, bool loop, std::string& error) {
    const std::string fullPath = m_resolver(name);
    if (fullPath.empty())
        error = "refused name";
    else if (!m_backend->play(fullPath, loop, error) && error.empty())
        error = "it cannot be played";
}

void SimpleAudioEngine::stopBackgroundMusic(bool) {
    CCLog("audio: stop");
    m_backend->stop();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying() {
    return m_backend->isPlaying();
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume) {
    if (std::isnan(volume)) return;
    m_volume = std::clamp(volume, 0.0f, 1.0f);
    m_backend->setVolume(m_volume);
}

void SimpleAudioEngine::setBackend(std::unique_ptr<AudioBackend> backend) {
    m_backend->stop();
    // Release the old device before the new backend opens its own.
    m_backend.reset();
    m_backend = backend ? std::move(backend) : std::make_unique<MixerAudioBackend>();
    m_backend->setVolume(m_volume);
}

void SimpleAudioEngine::setPathResolver(PathResolver resolver) {
    m_resolver = std::move(resolver);
}

} // namespace engine
