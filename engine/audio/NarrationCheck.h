#pragma once
// What a narration file is, judged from its own bytes before it may play.
//
// A decoder picked by the file's name, as MP3, resyncs on
// whatever bytes it meets: a WAV saved under a narration's ".mp3" name plays
// as a burst of full-scale noise, perhaps into a child's headphones. So a
// narration must start as MPEG audio does (an ID3 tag, or an MPEG audio frame
// header), and its first tenth of a second must not clip. Both audio
// backends and lirra-check ask this before a file plays or passes.
#include <string>

namespace engine {

// Decoded samples at full scale in a narration's first tenth of a second,
// from which it counts as clipping: speech that starts this loud is noise,
// a wrong file, or a recording that would hurt.
constexpr int kClippedSamplesRefused = 16;

// Empty when a narration's bytes may play; otherwise why not, for one log
// line. Bytes that cannot be copied for the check give empty too: the
// decoder reports them.
std::string narrationProblemInBytes(const std::string& bytes);
// How long MPEG audio held in memory lasts, in seconds, from a scan of all
// its frames; 0 when it does not decode.
double narrationSeconds(const std::string& bytes);

} // namespace engine
