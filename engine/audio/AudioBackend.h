#pragma once
// Where SimpleAudioEngine's one music track actually goes: SDL's audio device for the
// real program, a clock-driven stand-in for headless runs and tests.
#include <memory>
#include <string>

namespace engine {

class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Starts `fullPath` from its beginning, replacing any current track. When the
    // file is missing or cannot be decoded, returns false with the reason in
    // `error`, and nothing plays afterwards. By default the file is read once,
    // as a book's sounds are (so the file checked is the file played), and
    // its bytes go to playBytes.
    virtual bool play(const std::string& fullPath, bool loop, std::string& error);
    // The same for a file already read into memory (a book in an archive);
    // `name` is for messages and picks the decoder by its extension.
    virtual bool playBytes(const std::string& name, std::shared_ptr<const std::string> bytes, bool loop,
                           std::string& error) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() = 0;
    // 0 (silent) to 1 (full); already clamped by the caller.
    virtual void setVolume(float volume) = 0;
    // Seconds into the current track of the sound that reaches the listener
    // now; negative when nothing plays or the backend cannot tell.
    virtual double position() { return -1.0; }
    // Moves the current track to `seconds` from its start; false when it cannot.
    virtual bool seek(double /*seconds*/) { return false; }
};

} // namespace engine
