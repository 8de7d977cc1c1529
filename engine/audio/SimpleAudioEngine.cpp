#include "engine/audio/SimpleAudioEngine.h"

#include "engine/audio/MixerAudioBackend.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {
SimpleAudioEngine* g_engine = nullptr;

// Names are looked up under the resource root; the file layer logs a refused
// name or file itself (a FIFO would block the decoder's open for good).
// A missing or unreadable file keeps its path, so that the backend's own
// message names it as before.
std::string defaultResolve(const std::string& name) {
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFileUtils::ReadError error = CCFileUtils::ReadError::None;
    std::string path = files->pathForReading(name, CCFileUtils::FileKind::Sound, &error);
    if (error == CCFileUtils::ReadError::Missing || error == CCFileUtils::ReadError::Unreadable)
        return files->fullPathForFilename(name);
    return path;
}
} // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine() {
    if (!g_engine) g_engine = new SimpleAudioEngine();
    return g_engine;
}

void SimpleAudioEngine::end() {
    delete g_engine; // the backend's destructor halts the track and closes the device
    g_engine = nullptr;
}

SimpleAudioEngine::SimpleAudioEngine()
    : m_backend(std::make_unique<MixerAudioBackend>()), m_resolver(defaultResolve) {}

void SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop) {
    std::string error;
    if (!playBackgroundMusic(path, loop, &error))
        CCLog("SimpleAudioEngine: cannot play '%s': %s", path ? path : "", error.c_str());
}

bool SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop, std::string* whyNot) {
    std::string name = path ? path : "";
    CCLog("audio: play %s", name.c_str());
    std::string error;
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!name.empty() && !m_ownResolver && files->resourceArchive()) {
        // A book in an archive: the sound is read into memory, with the same
        // refusals and limits as from a folder.
        CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
        std::optional<std::string> bytes = files->getFileData(name, &readError, CCFileUtils::FileKind::Sound);
        const std::string fullPath = files->fullPathForFilename(name);
        if (bytes) {
            if (m_backend->playBytes(fullPath, std::make_shared<const std::string>(std::move(*bytes)), loop,
                                     error))
                return true;
        } else {
            error = readError == CCFileUtils::ReadError::Missing
                        ? "no such file in " + files->getResourceRoot()
                    : readError == CCFileUtils::ReadError::Refused
                        ? "refused name"
                        : "cannot be read from " + files->getResourceRoot();
        }
        m_backend->stop();
        if (whyNot) *whyNot = error;
        return false;
    }
    std::string fullPath = name.empty() ? "" : m_resolver(name);
    if (name.empty()) {
        error = "no file name";
    } else if (fullPath.empty()) {
        error = "refused name";
    } else if (m_backend->play(fullPath, loop, error)) {
        return true;
    }
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
    m_ownResolver = static_cast<bool>(resolver);
    m_resolver = resolver ? std::move(resolver) : PathResolver(defaultResolve);
}

} // namespace engine
