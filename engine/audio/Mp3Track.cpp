#include "engine/audio/Mp3Track.h"

#include "engine/audio/MixerDevice.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace engine {

Mp3Track::~Mp3Track() {
    if (m_decoder) mpg123_delete(m_decoder);
}

ssize_t Mp3Track::readBytes(void* self, void* into, size_t count) {
    auto* track = static_cast<Mp3Track*>(self);
    const size_t left = track->m_bytes->size() - track->m_at;
    count = std::min(count, left);
    std::memcpy(into, track->m_bytes->data() + track->m_at, count);
    track->m_at += count;
    return static_cast<ssize_t>(count);
}

off_t Mp3Track::seekBytes(void* self, off_t offset, int whence) {
    auto* track = static_cast<Mp3Track*>(self);
    const off_t size = static_cast<off_t>(track->m_bytes->size());
    const off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off_t>(track->m_at) : size;
    const off_t at = base + offset;
    if (at < 0 || at > size) return -1;
    track->m_at = static_cast<size_t>(at);
    return at;
}

bool Mp3Track::open(std::shared_ptr<const std::string> bytes, std::string& error) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    if (!bytes) {
        error = "no data";
        return false;
    }
    m_bytes = std::move(bytes);
    m_at = 0;
    int code = MPG123_OK;
    m_decoder = mpg123_new(nullptr, &code);
    if (!m_decoder) {
        error = mpg123_plain_strerror(code);
        return false;
    }
    mpg123_param(m_decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0);
    // One output format: the device's. Other rates are resampled by mpg123.
    mpg123_format_none(m_decoder);
    mpg123_format(m_decoder, MixerDevice::kFrequency, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_replace_reader_handle(m_decoder, &Mp3Track::readBytes, &Mp3Track::seekBytes, nullptr) !=
            MPG123_OK ||
        mpg123_open_handle(m_decoder, this) != MPG123_OK ||
        mpg123_getformat(m_decoder, &rate, &channels, &encoding) != MPG123_OK) {
        error = mpg123_strerror(m_decoder);
        mpg123_delete(m_decoder);
        m_decoder = nullptr;
        return false;
    }
    if (rate != MixerDevice::kFrequency || channels != MixerDevice::kChannels) {
        char why[96];
        std::snprintf(why, sizeof why, "it decodes to %ld Hz with %d channels, not %d Hz stereo", rate,
                      channels, MixerDevice::kFrequency);
        error = why;
        mpg123_delete(m_decoder);
        m_decoder = nullptr;
        return false;
    }
    return true;
}

int Mp3Track::read(std::int16_t* samples, int frames, bool& ended) {
    ended = false;
    if (!m_decoder) {
        ended = true;
        return 0;
    }
    const size_t wanted = static_cast<size_t>(frames) * MixerDevice::kChannels * sizeof(std::int16_t);
    auto* out = reinterpret_cast<unsigned char*>(samples);
    size_t done = 0;
    while (done < wanted) {
        size_t got = 0;
        const int result = mpg123_read(m_decoder, out + done, wanted - done, &got);
        done += got;
        // A format change cannot happen with one format allowed; anything
        // else but more to come ends the track here.
        if (result == MPG123_NEW_FORMAT) continue;
        if (result != MPG123_OK || got == 0) {
            ended = true;
            break;
        }
    }
    return static_cast<int>(done / (MixerDevice::kChannels * sizeof(std::int16_t)));
}

bool Mp3Track::seek(std::int64_t frame) {
    return m_decoder &&
           mpg123_seek(m_decoder, static_cast<off_t>(std::max<std::int64_t>(0, frame)), SEEK_SET) >= 0;
}

double Mp3Track::seconds() {
    if (!m_decoder) return 0.0;
    mpg123_scan(m_decoder);
    const off_t frames = mpg123_length(m_decoder);
    return frames > 0 ? static_cast<double>(frames) / MixerDevice::kFrequency : 0.0;
}

} // namespace engine
