#pragma once
// The background-music engine: one track at a time, named relative to the
// resource root. A new track replaces the one playing; a track that cannot be
// played leaves nothing playing and says so in one log line.
//
// Every request is also logged ("audio: play PATH", "audio: stop") so that
// tests and the --log file can follow what the book asked for.
#include "engine/audio/AudioBackend.h"

#include <functional>
#include <memory>
#include <string>

namespace engine {

class SimpleAudioEngine {
public:
    // For tests: turns a name into a path that the backend opens itself; an
    // empty result refuses the name. Without one, the book's file is read
    // through CCFileUtils and played from memory.
    using PathResolver = std::function<std::string(const std::string& name)>;

    static SimpleAudioEngine* sharedEngine();
    // Stops the music, frees the engine and closes audio; the next
    // sharedEngine() starts afresh with the default backend and resolver.
    static void end();

    void playBackgroundMusic(const char* path, bool loop = false);
    // The same, for a caller that reports a failure itself, naming what the
    // file stands for: answers whether the track plays, and why not in
    // `whyNot` instead of the engine's own log line.
    bool playBackgroundMusic(const char* path, bool loop, std::string* whyNot);
    // The same, starting `seconds` into the track (logged "audio: seek S").
    bool playBackgroundMusicFrom(const char* path, double seconds, std::string* whyNot);
    // Seconds of the current track heard so far; negative when nothing plays
    // or the backend cannot tell.
    double getBackgroundMusicPosition();
    // The track's data is always released; the flag is kept for callers that pass it.
    void stopBackgroundMusic(bool releaseData = false);
    bool isBackgroundMusicPlaying();
    // Clamped to 0..1; kept across tracks and backends.
    void setBackgroundMusicVolume(float volume);
    float getBackgroundMusicVolume() const { return m_volume; }

    // Null restores the real backend. The current track stops.
    void setBackend(std::unique_ptr<AudioBackend> backend);
    // Null goes back to reading the book's files (CCFileUtils).
    void setPathResolver(PathResolver resolver);

private:
    SimpleAudioEngine();
    // Each leaves `error` empty when the track plays.
    void playFromBook(const std::string& name, bool loop, std::string& error);
    void playByPath(const std::string& name, bool loop, std::string& error);

    std::unique_ptr<AudioBackend> m_backend;
    PathResolver m_resolver; // none: the book's files
    float m_volume = 1.0f;
};

} // namespace engine
