#include "tools/make/Aligner.h"

#include "tools/make/Pronouncer.h"

#include <pocketsphinx.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace maker {

namespace {

const char* const kModelFolder = "/usr/share/pocketsphinx/model/en-us";
constexpr double kFrameSeconds = 0.01;

// A spelling the grammar and the dictionary can hold: lowercase letters,
// digits and apostrophes; empty when the word has anything else.
std::string plainSpelling(const std::string& word) {
    std::string plain;
    for (char c : word) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) && u < 128)
            plain += static_cast<char>(std::tolower(u));
        else if (c == '\'')
            plain += c;
        else
            return {};
    }
    return plain;
}

// The recogniser's best score over the whole recording under its current
// search; false when it found no path.
bool decode(ps_decoder_t* decoder, const std::vector<short>& pcm, int& score) {
    if (ps_start_utt(decoder) < 0) return false;
    ps_process_raw(decoder, pcm.data(), pcm.size(), FALSE, TRUE);
    ps_end_utt(decoder);
    return ps_get_hyp(decoder, &score) != nullptr;
}

} // namespace

Aligner::Aligner(const Pronouncer& pronouncer) : m_pronouncer(pronouncer) {
    const std::string hmm = std::string(kModelFolder) + "/en-us";
    const std::string dict = std::string(kModelFolder) + "/cmudict-en-us.dict";
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-dict", dict.c_str(),
                                   "-logfn", "/dev/null", "-remove_silence", "no", "-bestpath", "no", "-beam", "1e-80", "-wbeam",
                                   "1e-60", "-pbeam", "1e-80", nullptr);
    if (config) m_decoder = ps_init(config);
    cmd_ln_free_r(config);
    if (!m_decoder) {
        m_error = "the recogniser's US English model cannot be loaded from " + std::string(kModelFolder) +
                  " (install pocketsphinx-en-us)";
        return;
    }
}

Aligner::~Aligner() {
    if (m_decoder) ps_free(m_decoder);
}

std::string Aligner::dictionaryWord(const std::string& word) {
    std::string plain = plainSpelling(word);
    if (!plain.empty()) {
        if (char* known = ps_lookup_word(m_decoder, plain.c_str())) {
            std::free(known);
            return plain;
        }
    }
    std::string phones = m_pronouncer.phones(word);
    if (phones.empty()) return {};
    // A word spelt with other letters is known by a made-up name.
    if (plain.empty()) plain = "word_" + std::to_string(++m_added);
    if (ps_add_word(m_decoder, plain.c_str(), phones.c_str(), TRUE) < 0) return {};
    return plain;
}

Alignment Aligner::align(const Recording& recording, const std::vector<std::string>& words) {
    Alignment result;
    std::string grammar = "#JSGF V1.0;\ngrammar page;\npublic <page> =";
    std::vector<std::string> spoken;
    for (const std::string& word : words) {
        std::string name = dictionaryWord(word);
        if (name.empty()) {
            result.error = "the word \"" + word + "\" cannot be pronounced";
            return result;
        }
        spoken.push_back(name);
        grammar += " " + name;
    }
    grammar += ";\n";
    if (ps_set_jsgf_string(m_decoder, "page", grammar.c_str()) < 0 || ps_set_search(m_decoder, "page") < 0) {
        result.error = "the recogniser refused the page's words";
        return result;
    }
    const std::vector<short> pcm = recording.pcm16();
    int sentenceScore = 0;
    if (!decode(m_decoder, pcm, sentenceScore)) {
        result.error = "the recording does not say the page's text (no alignment found)";
        return result;
    }
    std::size_t next = 0;
    double fitSum = 0;
    int fitFrames = 0;
    for (ps_seg_t* seg = ps_seg_iter(m_decoder); seg; seg = ps_seg_next(seg)) {
        // Other pronunciations of a word are named "word(2)".
        std::string said = ps_seg_word(seg);
        said = said.substr(0, said.find('('));
        int first = 0, last = 0, acoustic = 0, language = 0, back = 0;
        ps_seg_frames(seg, &first, &last);
        if (next >= spoken.size() || spoken[next] != said) {
            if (said == "<sil>") result.pauses.push_back({first * kFrameSeconds, (last + 1) * kFrameSeconds});
            continue;
        }
        ps_seg_prob(seg, &acoustic, &language, &back);
        const int frames = last - first + 1;
        WordTime time{first * kFrameSeconds, (last + 1) * kFrameSeconds, -static_cast<double>(acoustic) / frames};
        result.words.push_back(time);
        fitSum += -static_cast<double>(acoustic);
        fitFrames += frames;
        ++next;
    }
    if (result.words.size() != words.size()) {
        result.error = "the recording does not say the page's text (found " + std::to_string(result.words.size()) +
                       " of its " + std::to_string(words.size()) + " words)";
        return result;
    }
    result.misfit = fitFrames > 0 ? fitSum / fitFrames : 0;
    return result;
}

} // namespace maker
