#pragma once
// Pronunciations for the aligner: a word found in the recogniser's
// dictionary is said as it says; any other word (names such as "Zuri" or
// "Tomasz", made-up words) gets one from espeak-ng's letter-to-sound rules for
// US English, its IPA phonemes mapped onto the recogniser's phone set.
#include <string>

namespace maker {

class Pronouncer {
public:
    Pronouncer();
    ~Pronouncer();
    Pronouncer(const Pronouncer&) = delete;
    Pronouncer& operator=(const Pronouncer&) = delete;

    bool ok() const { return m_ok; }
    // The recogniser's phones for `word` ("Z UH R IY"), from espeak-ng; empty
    // when the word yields no sound that maps to a phone.
    std::string phones(const std::string& word) const;
    // IPA (as espeak-ng writes it, phonemes separated by '_') to phones.
    static std::string phonesFromIpa(const std::string& ipa);

private:
    bool m_ok = false;
};

} // namespace maker
