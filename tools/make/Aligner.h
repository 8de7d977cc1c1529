#pragma once
// Forced alignment: where each word of a known sentence starts and ends in
// its recording. The recogniser (pocketsphinx with its US English model) may
// only follow a grammar of exactly the page's words in order, with optional
// pauses, so it cannot wander off to other words; what it finds is each
// word's place, and how well the sound there fits the word: the
// recogniser's acoustic score per 10 ms frame, against the best it could
// give that frame (0 is a perfect fit; words said as written score about 7
// to 26, a wrong word often past 60).
#include "tools/make/Recording.h"

#include <string>
#include <vector>

typedef struct ps_decoder_s ps_decoder_t;

namespace maker {

class Pronouncer;

struct WordTime {
    double start = 0, end = 0; // seconds of the recording
    double misfit = 0;         // per frame; see above
};

struct Alignment {
    std::vector<WordTime> words;
    std::vector<WordTime> pauses; // where the recogniser heard no word
    double misfit = 0;            // of all the words' frames together
    std::string error; // empty when the words were found
};

class Aligner {
public:
    // The rate recordings must have for align().
    static constexpr int kRate = 16000;
    // Past these a recording is taken not to say its sentence: the words'
    // misfit together, and one word's (of at least kShortestJudgedWord).
    static constexpr double kLargestMisfit = 32;
    static constexpr double kLargestWordMisfit = 60;
    static constexpr double kShortestJudgedWord = 0.08;

    explicit Aligner(const Pronouncer& pronouncer);
    ~Aligner();
    Aligner(const Aligner&) = delete;
    Aligner& operator=(const Aligner&) = delete;

    // Empty when the recogniser and its model could be loaded.
    const std::string& error() const { return m_error; }

    // The recogniser's name for `word` ("zuri"), adding a pronunciation when
    // its dictionary has none; empty when it cannot be pronounced.
    std::string dictionaryWord(const std::string& word);

    // `words` as printed (punctuation already taken off) in `recording`,
    // which is at kRate.
    Alignment align(const Recording& recording, const std::vector<std::string>& words);

private:
    ps_decoder_t* m_decoder = nullptr;
    const Pronouncer& m_pronouncer;
    std::string m_error;
    int m_added = 0;
};

} // namespace maker
