#include "tools/make/Narration.h"

#include <ebur128.h>
#include <lame/lame.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <fstream>

extern char** environ;

namespace maker {

Recording cutWord(const Recording& recording, const std::vector<WordTime>& words, std::size_t index) {
    const WordTime& word = words[index];
    double start = word.start - kClipMargin, end = word.end + kClipMargin;
    if (index > 0) start = std::max(start, words[index - 1].end);
    if (index + 1 < words.size()) end = std::min(end, words[index + 1].start);
    start = std::max(start, 0.0);
    const auto first = static_cast<std::size_t>(start * recording.rate);
    const auto last = std::min(recording.samples.size(), static_cast<std::size_t>(end * recording.rate));
    Recording clip;
    clip.rate = recording.rate;
    if (first >= last) return clip;
    clip.samples.assign(recording.samples.begin() + static_cast<long>(first),
                        recording.samples.begin() + static_cast<long>(last));
    float peak = 0;
    for (float s : clip.samples)
        peak = std::max(peak, std::fabs(s));
    const float onset = peak * static_cast<float>(std::pow(10.0, kVoiceOnsetDb / 20));
    auto voice = std::find_if(clip.samples.begin(), clip.samples.end(), [&](float s) { return std::fabs(s) >= onset; });
    const long lead = static_cast<long>(kLeadIn * clip.rate);
    if (voice - clip.samples.begin() > lead) clip.samples.erase(clip.samples.begin(), voice - lead);
    const std::size_t in = std::min(clip.samples.size(), static_cast<std::size_t>(kFadeIn * clip.rate));
    const std::size_t out = std::min(clip.samples.size(), static_cast<std::size_t>(kFadeOut * clip.rate));
    for (std::size_t i = 0; i < in; ++i)
        clip.samples[i] *= static_cast<float>(i) / static_cast<float>(in);
    for (std::size_t i = 0; i < out; ++i)
        clip.samples[clip.samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(out);
    return clip;
}

double loudness(const Recording& clip) {
    if (clip.samples.empty()) return -HUGE_VAL;
    ebur128_state* meter = ebur128_init(1, static_cast<unsigned long>(clip.rate), EBUR128_MODE_I);
    if (!meter) return -HUGE_VAL;
    const std::size_t wanted = static_cast<std::size_t>(3.0 * clip.rate);
    for (std::size_t fed = 0; fed < wanted || fed == 0; fed += clip.samples.size())
        ebur128_add_frames_float(meter, clip.samples.data(), clip.samples.size());
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(meter, &lufs);
    ebur128_destroy(&meter);
    return lufs;
}

double peakDb(const Recording& clip) {
    float peak = 0;
    for (float s : clip.samples)
        peak = std::max(peak, std::fabs(s));
    return peak > 0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
}

Recording leveled(const Recording& clip, double* gainDb) {
    return leveledTo(clip, kNarrationLoudness, gainDb);
}

double commonLoudness(const std::vector<const Recording*>& clips) {
    double target = kNarrationLoudness;
    for (const Recording* clip : clips) {
        const double level = loudness(*clip), peak = peakDb(*clip);
        if (std::isfinite(level) && std::isfinite(peak)) target = std::min(target, kNarrationCeiling - (peak - level));
    }
    return std::max(target, kQuietestCommonLoudness);
}

Recording leveledTo(const Recording& clip, double lufs, double* gainDb) {
    const double level = loudness(clip), peak = peakDb(clip);
    double gain = 0;
    if (std::isfinite(level) && std::isfinite(peak))
        gain = std::min(lufs - level, kNarrationCeiling - peak);
    if (gainDb) *gainDb = gain;
    Recording out = clip;
    const float factor = static_cast<float>(std::pow(10.0, gain / 20.0));
    for (float& s : out.samples)
        s *= factor;
    return out;
}

std::string encodeMp3(const Recording& clip, double* delaySeconds) {
    lame_global_flags* lame = lame_init();
    if (!lame) return {};
    lame_set_in_samplerate(lame, clip.rate);
    lame_set_out_samplerate(lame, kNarrationRate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kNarrationBitRate);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_quality(lame, 2);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return {};
    }
    std::string mp3;
    std::vector<unsigned char> buffer(clip.samples.size() * 5 / 4 + 7200 * 2);
    const int n = static_cast<int>(clip.samples.size());
    int written = lame_encode_buffer_ieee_float(lame, clip.samples.data(), clip.samples.data(), n, buffer.data(),
                                                static_cast<int>(buffer.size()));
    if (written >= 0) mp3.append(reinterpret_cast<char*>(buffer.data()), static_cast<std::size_t>(written));
    int flushed = written >= 0 ? lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size())) : -1;
    if (flushed >= 0) mp3.append(reinterpret_cast<char*>(buffer.data()), static_cast<std::size_t>(flushed));
    // The first frame holds the encoder's tag (its delay and padding), which
    // it can only write once it knows the end.
    std::size_t tagSize = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
    if (tagSize > 0 && tagSize <= mp3.size()) mp3.replace(0, tagSize, reinterpret_cast<char*>(buffer.data()), tagSize);
    // The encoder's own delay and the decoder's (529 samples) of the MP3
    // format.
    if (delaySeconds) *delaySeconds = (lame_get_encoder_delay(lame) + 529.0) / lame_get_out_samplerate(lame);
    lame_close(lame);
    return written < 0 || flushed < 0 ? std::string() : mp3;
}

bool speakWithFestival(const std::string& text, const std::string& voice, const std::string& wavPath,
                       std::string& error) {
    const std::string textPath = wavPath + ".txt";
    std::ofstream(textPath) << text << "\n";
    const std::string voiceCall = "(voice_" + voice + ")";
    std::vector<std::string> args = {"text2wave", "-eval", voiceCall, "-o", wavPath, textPath};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int spawned = posix_spawnp(&pid, "text2wave", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = "festival is not installed (its text2wave is missing); install festival and " + voice +
                "'s package, or give the page a recording";
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream made(wavPath, std::ios::binary);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !made || made.peek() == EOF) {
        error = "festival could not read it aloud with the voice \"" + voice + "\" (is its package installed?)";
        return false;
    }
    return true;
}

} // namespace maker
