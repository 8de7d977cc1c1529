#pragma once
// The narration of a made book: word clips cut from a page's recording at
// the aligner's boundaries, every clip and page recording brought to one
// loudness (EBU R128) and encoded as the reader's MP3s; and the festival
// voice that reads a page that has no recording.
#include "tools/make/Aligner.h"
#include "tools/make/Recording.h"

#include <string>
#include <vector>

namespace maker {

// The rate and bit rate the reader's narration is encoded at.
constexpr int kNarrationRate = 44100;
constexpr int kNarrationBitRate = 64;
// Every clip's loudness (LUFS), unless its peak would then pass the ceiling
// (dBFS, room for the encoder's overshoot): then it is lower.
constexpr double kNarrationLoudness = -16;
constexpr double kNarrationCeiling = -2;
// A clip reaches this far past its word's boundaries, never into a
// neighbour, and fades in and out over these. The silence before the voice
// is then cut to kLeadIn, so the voice starts as the clip does and the
// highlight follows it at once.
constexpr double kClipMargin = 0.03;
constexpr double kLeadIn = 0.003;
constexpr double kFadeIn = 0.002;
constexpr double kFadeOut = 0.015;
// Where the voice starts: 40 dB under the clip's loudest sample.
constexpr double kVoiceOnsetDb = -40;

// Word `index`'s clip out of `recording` (at kNarrationRate), faded at both
// ends; the neighbours' boundaries bound its margins.
Recording cutWord(const Recording& recording, const std::vector<WordTime>& words, std::size_t index);

// Integrated loudness of `clip` (LUFS), measured on the clip played over and
// over for at least three seconds, since one word is shorter than the
// measure's blocks; and its peak (dBFS).
double loudness(const Recording& clip);
double peakDb(const Recording& clip);
// `clip` brought to kNarrationLoudness, or below where its peak demands;
// the gain given, in dB, goes to `gainDb`.
Recording leveled(const Recording& clip, double* gainDb = nullptr);
// The common loudness for `clips`, so that all are evenly loud: the
// narration loudness, lowered until no clip's peak passes the ceiling, but
// not below kQuietestCommonLoudness (a clip that would still pass it is
// lowered alone).
constexpr double kQuietestCommonLoudness = -22;
double commonLoudness(const std::vector<const Recording*>& clips);
// `clip` at `lufs`, or lower where its peak demands.
Recording leveledTo(const Recording& clip, double lufs, double* gainDb = nullptr);

// `clip` as a constant-rate MP3 (kNarrationBitRate, mono) with the encoder's
// tag; empty on failure. The reader's decoders keep the silence the encoder
// puts before the first sample: its length goes to `delaySeconds`.
std::string encodeMp3(const Recording& clip, double* delaySeconds = nullptr);

// Festival's reading of `text` in `voice`, as a WAV written to `wavPath`;
// false with the reason when festival is missing or fails.
bool speakWithFestival(const std::string& text, const std::string& voice, const std::string& wavPath,
                       std::string& error);

} // namespace maker
