#include "engine/audio/AudioBackend.h"

#include "engine/platform/CCFileUtils.h"

namespace engine {

bool AudioBackend::play(const std::string& fullPath, bool loop, std::string& error) {
    stop();
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    std::optional<std::string> bytes =
        CCFileUtils::readFileAtPath(fullPath, CCFileUtils::FileKind::Sound, &readError);
    if (!bytes) {
        error = readError == CCFileUtils::ReadError::Missing   ? "no such file: " + fullPath
                : readError == CCFileUtils::ReadError::Refused ? "refused file"
                                                               : "it cannot be read";
        return false;
    }
    return playBytes(fullPath, std::make_shared<const std::string>(std::move(*bytes)), loop, error);
}

} // namespace engine
