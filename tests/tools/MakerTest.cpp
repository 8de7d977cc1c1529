// The book maker's parts that need no recogniser run: book.txt, the
// letter-to-sound mapping, and the cutting, levelling and encoding of clips.
#include "tools/make/Aligner.h"
#include "tools/make/BookText.h"
#include "tools/make/Narration.h"
#include "tools/make/Pronouncer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class BookTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("lirra-booktext-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        for (const char* name : {"one.png", "two.jpg", "one.wav", "two.mp3"})
            std::ofstream(m_folder / name) << "x";
    }
    void TearDown() override { fs::remove_all(m_folder); }
    bool read(const std::string& text, bookmaker::BookSource& book, std::string& errors) {
        std::ofstream(m_folder / "book.txt") << text;
        return maker::readBookText(m_folder.string(), book, errors);
    }
    fs::path m_folder;
};

TEST_F(BookTextTest, ReadsFactsPagesLineBreaksAndOverrides) {
    bookmaker::BookSource book;
    std::string errors;
    ASSERT_TRUE(read("\xEF\xBB\xBFtitle: The Red Kite\nauthor: Ama\n# a note\nread: Read it!\nhint: Touch!\n\n"
                     "page: one.png one.wav\nZuri has a red kite.\n\npage: two.jpg\n"
                     "The wind takes it up,\nup, up!\n\npage: one.png\n",
                     book, errors))
        << errors;
    EXPECT_EQ(book.title, "The Red Kite");
    EXPECT_EQ(book.author, "Ama");
    EXPECT_EQ(book.labels.at("read"), "Read it!");
    EXPECT_EQ(book.interfaceTexts.at("bntext"), "Touch!");
    EXPECT_EQ(book.interfaceTexts.at("main_page"), "Home");
    ASSERT_EQ(book.pages.size(), 3u);
    EXPECT_EQ(book.pages[0].words.size(), 5u);
    EXPECT_EQ(book.pages[0].words[4].text, "kite");
    EXPECT_EQ(book.pages[0].recordingFile, (m_folder / "one.wav").string());
    EXPECT_EQ(book.pages[1].text, "The wind takes it up,\nup, up!");
    EXPECT_TRUE(book.pages[1].recordingFile.empty());
    EXPECT_TRUE(book.pages[2].words.empty()); // a picture page
    EXPECT_EQ(book.pages[2].sourceLine, 14);
}

TEST_F(BookTextTest, NamesEveryProblemByLine) {
    ::mkfifo((m_folder / "pipe.wav").c_str(), 0600);
    bookmaker::BookSource book;
    std::string errors;
    std::string words;
    for (int i = 0; i < 31; ++i)
        words += "la ";
    EXPECT_FALSE(read("language: fr\ncolour: red\n\npage: missing.png\nHello.\npage: one.png pipe.wav\nHi.\n"
                      "page: one.gif\npage: one.png one.wav two.mp3\npage: two.jpg\n" + words + "\n",
                      book, errors));
    for (const char* expected :
         {"line 1: the language \"fr\"", "line 2: unknown key \"colour\"", "line 4: the picture missing.png is missing",
          "line 6: the recording pipe.wav is not a plain file", "line 8: the picture one.gif must be a PNG or JPEG",
          "line 9: a page line names a picture and at most one recording", "page 5 has 31 words",
          "the book needs a \"title:\" line"})
        EXPECT_NE(errors.find(expected), std::string::npos) << expected << "\nin:\n" << errors;
}

TEST(PronouncerTest, MapsEspeakIpaOntoTheRecognisersPhones) {
    EXPECT_EQ(maker::Pronouncer::phonesFromIpa("z_j_ˈʊɹ_ɹ_i"), "Z Y UH R IY");
    EXPECT_EQ(maker::Pronouncer::phonesFromIpa("t_ˈɑː_m_æ_s_z"), "T AA M AE S Z");
    EXPECT_EQ(maker::Pronouncer::phonesFromIpa("tʃ_ˈɜː_tʃ"), "CH ER CH");
    EXPECT_EQ(maker::Pronouncer::phonesFromIpa("ˈ_ː"), "");
    maker::Pronouncer pronouncer;
    ASSERT_TRUE(pronouncer.ok());
    EXPECT_EQ(pronouncer.phones("Zuri").substr(0, 2), "Z ");
    maker::Aligner aligner(pronouncer);
    ASSERT_EQ(aligner.error(), "");
    EXPECT_EQ(aligner.dictionaryWord("Kite"), "kite");
    EXPECT_EQ(aligner.dictionaryWord("Tomasz"), "tomasz"); // added from espeak-ng
    EXPECT_EQ(aligner.dictionaryWord("café"), "word_1");   // a spelling the grammar cannot hold
}

maker::Recording tone(double seconds, float amplitude) {
    maker::Recording r;
    r.rate = maker::kNarrationRate;
    r.samples.resize(static_cast<std::size_t>(seconds * r.rate));
    for (std::size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = amplitude * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / r.rate));
    return r;
}

TEST(NarrationTest, ClipsStayOffTheirNeighboursAndFade) {
    maker::Recording r = tone(2.0, 0.5f);
    std::vector<maker::WordTime> words = {{0.20, 0.50}, {0.50, 0.90}, {0.90, 1.00}, {1.20, 1.40}};
    // No margin reaches into a neighbour; a pause takes the margin.
    EXPECT_NEAR(maker::cutWord(r, words, 1).seconds(), 0.40, 0.001);
    EXPECT_NEAR(maker::cutWord(r, words, 2).seconds(), 0.10 + maker::kClipMargin, 0.001);
    // Silence before the voice is cut down to the lead-in.
    maker::Recording late = r;
    std::fill(late.samples.begin(), late.samples.begin() + late.rate * 1.25, 0.0f);
    EXPECT_NEAR(maker::cutWord(late, words, 3).seconds(), 0.15 + maker::kClipMargin + maker::kLeadIn, 0.001);
    maker::Recording last = maker::cutWord(r, words, 3);
    EXPECT_NEAR(last.seconds(), 0.20 + 2 * maker::kClipMargin, 0.001);
    EXPECT_EQ(last.samples.front(), 0.0f);
    EXPECT_NEAR(last.samples.back(), 0.0f, 1e-3);
}

TEST(NarrationTest, LevelsToOneLoudnessUnderTheCeilingAndEncodesWithoutDelay) {
    maker::Recording quiet = tone(0.3, 0.02f), loud = tone(0.3, 0.6f);
    EXPECT_NEAR(maker::loudness(maker::leveled(quiet)), maker::kNarrationLoudness, 0.5);
    EXPECT_NEAR(maker::loudness(maker::leveled(loud)), maker::kNarrationLoudness, 0.5);
    // A sharp peak keeps its clip below the ceiling.
    maker::Recording peaky = tone(0.3, 0.01f);
    peaky.samples[100] = 0.9f;
    EXPECT_LE(maker::peakDb(maker::leveled(peaky)), maker::kNarrationCeiling + 0.01);

    const std::string mp3 = maker::encodeMp3(maker::leveled(loud));
    ASSERT_GT(mp3.size(), 1000u);
    const std::string path = fs::temp_directory_path() / ("lirra-clip-" + std::to_string(::getpid()) + ".mp3");
    std::ofstream(path, std::ios::binary) << mp3;
    maker::Recording back;
    std::string why;
    ASSERT_TRUE(maker::Recording::load(path, maker::kNarrationRate, back, why)) << why;
    fs::remove(path);
    // The encoder's delay and padding are taken off by its gapless tag.
    EXPECT_NEAR(back.seconds(), 0.3, 0.03);
}

} // namespace
