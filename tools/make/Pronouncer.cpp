#include "tools/make/Pronouncer.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

namespace maker {

namespace {

// IPA symbols as espeak-ng's US English writes them, longest first where one
// begins another, with their phones.
const std::vector<std::pair<std::string, std::string>> kIpaPhones = {
    {"tʃ", "CH"},   {"dʒ", "JH"},    {"aɪɚ", "AY ER"}, {"aɪə", "AY ER"}, {"aʊɚ", "AW ER"}, {"aɪ", "AY"},
    {"aʊ", "AW"},   {"eɪ", "EY"},    {"oʊ", "OW"},     {"əʊ", "OW"},     {"ɔɪ", "OY"},     {"ɪɹ", "IH R"},
    {"ɪə", "IH R"}, {"ʊɹ", "UH R"},  {"ʊə", "UH R"},   {"ɛɹ", "EH R"},   {"eə", "EH R"},   {"ɔːɹ", "AO R"},
    {"oːɹ", "AO R"}, {"ɑːɹ", "AA R"}, {"ɑɹ", "AA R"},  {"iə", "IY AH"},  {"ɚ", "ER"},      {"ɝ", "ER"},
    {"ɜ", "ER"},    {"i", "IY"},     {"ɪ", "IH"},      {"ᵻ", "IH"},      {"e", "EH"},      {"ɛ", "EH"},
    {"æ", "AE"},    {"a", "AA"},     {"ɑ", "AA"},      {"ɒ", "AA"},      {"ɔ", "AO"},      {"o", "OW"},
    {"ʊ", "UH"},    {"u", "UW"},     {"ʌ", "AH"},      {"ə", "AH"},      {"ɐ", "AH"},      {"p", "P"},
    {"b", "B"},     {"t", "T"},      {"d", "D"},       {"ɾ", "D"},       {"k", "K"},       {"ɡ", "G"},
    {"g", "G"},     {"x", "K"},      {"f", "F"},       {"v", "V"},       {"θ", "TH"},      {"ð", "DH"},
    {"s", "S"},     {"z", "Z"},      {"ʃ", "SH"},      {"ʒ", "ZH"},      {"h", "HH"},      {"ç", "HH"},
    {"m", "M"},     {"n", "N"},      {"ŋ", "NG"},      {"l", "L"},       {"ɬ", "L"},       {"ɹ", "R"},
    {"r", "R"},     {"j", "Y"},      {"w", "W"},       {"ʍ", "W"},
};

// Marks that change no phone: stress, length, syllable breaks, the glottal
// stop and the syllabic mark.
const char* const kIgnored[] = {"ˈ", "ˌ", "ː", "ˑ", ".", "ʔ", "\xCC\xA9", "\xCC\x83", "-"};

} // namespace

Pronouncer::Pronouncer() {
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) < 0) return;
    m_ok = espeak_SetVoiceByName("en-us") == EE_OK;
}

Pronouncer::~Pronouncer() {
    if (m_ok) espeak_Terminate();
}

std::string Pronouncer::phonesFromIpa(const std::string& ipa) {
    std::vector<std::string> phones;
    std::size_t at = 0;
    while (at < ipa.size()) {
        if (ipa[at] == '_' || ipa[at] == ' ') {
            ++at;
            continue;
        }
        bool matched = false;
        for (const char* mark : kIgnored) {
            std::size_t length = std::strlen(mark);
            if (ipa.compare(at, length, mark) == 0) {
                at += length;
                matched = true;
                break;
            }
        }
        if (matched) continue;
        for (const auto& [symbol, phone] : kIpaPhones) {
            if (ipa.compare(at, symbol.size(), symbol) != 0) continue;
            std::istringstream split(phone);
            for (std::string one; split >> one;)
                // A doubled consonant ("ɹɹ") is one sound.
                if (phones.empty() || phones.back() != one || std::strchr("AEIOU", one[0]))
                    phones.push_back(one);
            at += symbol.size();
            matched = true;
            break;
        }
        if (!matched) {
            // An unknown symbol: skip its UTF-8 sequence.
            ++at;
            while (at < ipa.size() && (static_cast<unsigned char>(ipa[at]) & 0xC0) == 0x80)
                ++at;
        }
    }
    std::string out;
    for (const std::string& phone : phones)
        out += (out.empty() ? "" : " ") + phone;
    return out;
}

std::string Pronouncer::phones(const std::string& word) const {
    if (!m_ok) return {};
    std::string ipa;
    const void* text = word.c_str();
    while (text) {
        const char* part = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, espeakPHONEMES_IPA | ('_' << 8));
        if (!part) break;
        ipa += std::string(ipa.empty() ? "" : "_") + part;
    }
    return phonesFromIpa(ipa);
}

} // namespace maker
