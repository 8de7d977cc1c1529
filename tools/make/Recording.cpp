#include "tools/make/Recording.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace maker {

namespace {
// A page recording longer than this is surely not one page read aloud; it is
// refused before it is decoded into memory.
constexpr double kLongestRecordingSeconds = 15 * 60;
} // namespace

bool Recording::load(const std::string& path, int rate, Recording& out, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 4000 || info.frames <= 0) {
        sf_close(file);
        error = "it holds no sound";
        return false;
    }
    if (static_cast<double>(info.frames) / info.samplerate > kLongestRecordingSeconds) {
        sf_close(file);
        error = "it is longer than 15 minutes";
        return false;
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * info.channels);
    sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    if (frames <= 0) {
        error = "no samples could be decoded";
        return false;
    }
    Recording source;
    source.rate = info.samplerate;
    source.samples.resize(static_cast<std::size_t>(frames));
    for (sf_count_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += interleaved[static_cast<std::size_t>(i * info.channels + c)];
        source.samples[static_cast<std::size_t>(i)] = sum / static_cast<float>(info.channels);
    }
    out = source.resampled(rate);
    return true;
}

Recording Recording::resampled(int newRate) const {
    if (newRate == rate || samples.empty()) {
        Recording same = *this;
        same.rate = newRate;
        return same;
    }
    Recording out;
    out.rate = newRate;
    const double ratio = static_cast<double>(newRate) / rate;
    out.samples.resize(static_cast<std::size_t>(std::ceil(samples.size() * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = samples.data();
    data.input_frames = static_cast<long>(samples.size());
    data.data_out = out.samples.data();
    data.output_frames = static_cast<long>(out.samples.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0) {
        out.samples.clear();
        return out;
    }
    out.samples.resize(static_cast<std::size_t>(data.output_frames_gen));
    return out;
}

std::vector<short> Recording::pcm16() const {
    std::vector<short> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(), [](float s) {
        return static_cast<short>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    });
    return pcm;
}

bool Recording::saveWav(const std::string& path) const {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    sf_count_t written = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return written == static_cast<sf_count_t>(samples.size());
}

} // namespace maker
