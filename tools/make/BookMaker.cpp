#include "tools/make/BookMaker.h"

#include "book/BookContract.h"
#include "book/BookNames.h"
#include "tools/book/BookPacker.h"
#include "tools/book/BookWriter.h"
#include "tools/book/WordNames.h"
#include "tools/make/BookText.h"
#include "tools/make/Narration.h"
#include "tools/make/Pronouncer.h"

#include <SDL_image.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>

namespace maker {

namespace fs = std::filesystem;
using bookmaker::PageSource;

namespace {

// Warnings that do not stop a book.
constexpr double kShortestClip = 0.12;
constexpr double kLongestPageRecording = 60;
// A stretch the recogniser heard as a pause, but as loud as the words
// around it for this long, is speech that the page's text does not hold.
constexpr double kLongestUnreadSpeech = 0.35;
constexpr double kSpeechLoudness = 0.3; // of the words' mean level

std::string seconds(double value) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(3) << value;
    return out.str();
}

double rms(const Recording& recording, double start, double end) {
    const auto first = static_cast<std::size_t>(std::max(0.0, start) * recording.rate);
    const auto last = std::min(recording.samples.size(), static_cast<std::size_t>(end * recording.rate));
    if (first >= last) return 0;
    double sum = 0;
    for (std::size_t i = first; i < last; ++i)
        sum += static_cast<double>(recording.samples[i]) * recording.samples[i];
    return std::sqrt(sum / static_cast<double>(last - first));
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

// The file of an installed font family that the book may carry: Andika, made
// for young readers and free to share (the SIL Open Font License). Other
// installed faces may not be shared, so books carry only the font files
// their makers give them.
std::string shareableFontFile(const std::string& family) {
    if (family != "Andika") return {};
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    FcChar8* found = nullptr;
    FcChar8* foundFamily = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &found) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &foundFamily) == FcResultMatch &&
        family == reinterpret_cast<const char*>(foundFamily))
        file = reinterpret_cast<const char*>(found);
    if (match) FcPatternDestroy(match);
    return fs::path(file).extension() == ".ttf" ? file : std::string();
}

} // namespace

void BookMaker::error(const PageSource* page, const std::string& file, const std::string& what) {
    ++m_errors;
    m_out << "lirra-make: ";
    if (page) m_out << "page " << page->number << " (book.txt line " << page->sourceLine << ")";
    if (!file.empty()) m_out << (page ? ", " : "") << file;
    m_out << ": " << what << "\n";
}

void BookMaker::warn(const PageSource* page, const std::string& what) {
    m_out << "lirra-make: warning: ";
    if (page) m_out << "page " << page->number << ": ";
    m_out << what << "\n";
}

bool BookMaker::checkNames() {
    // Names join page and word numbers, so two words can end up with one
    // name (page 1 word 12 and page 11 word 2 are both "str112").
    std::map<std::string, std::string> users;
    for (const PageSource& page : m_book.pages)
        for (std::size_t i = 0; i < page.words.size(); ++i) {
            const int index = static_cast<int>(i) + 1;
            const std::string name = book::textKey(book::hotspotTag(page.number, index), page.number);
            const std::string user = "page " + std::to_string(page.number) + " word " + std::to_string(index) +
                                     " (\"" + page.words[i].text + "\")";
            auto [at, fresh] = users.emplace(name, user);
            if (!fresh)
                error(&page, "", at->second + " and " + user + " would share the name " + name +
                                     "; move words so that no page past the ninth has more than 9 words");
        }
    return m_errors == 0;
}

bool BookMaker::narratePage(const PageSource& page, Aligner& aligner, const std::string& work) {
    PageNarration& narration = m_narration[static_cast<std::size_t>(page.number - 1)];
    if (page.words.empty()) {
        if (!page.recordingFile.empty())
            warn(&page, "a picture page has no words, so its recording " + fs::path(page.recordingFile).filename().string() +
                            " is not used");
        return true;
    }
    std::string recordingFile = page.recordingFile, why;
    std::string shownName = fs::path(recordingFile).filename().string();
    if (recordingFile.empty()) {
        recordingFile = work + "/spoken_" + std::to_string(page.number) + ".wav";
        shownName = "festival's reading";
        if (!speakWithFestival(page.text, m_book.voice, recordingFile, why)) {
            error(&page, "", "the page has no recording and " + why);
            return false;
        }
    }
    Recording full;
    if (!Recording::load(recordingFile, kNarrationRate, full, why)) {
        error(&page, shownName, "cannot be read as a recording (" + why + ")");
        return false;
    }
    m_recordedSeconds += full.seconds();
    if (full.seconds() > kLongestPageRecording)
        warn(&page, shownName + " is " + seconds(full.seconds()) + " s long; a page reads best in under a minute");
    std::vector<std::string> words;
    for (const auto& word : page.words)
        words.push_back(word.text);
    Alignment alignment = aligner.align(full.resampled(Aligner::kRate), words);
    if (!alignment.error.empty()) {
        error(&page, shownName, alignment.error);
        return false;
    }
    // A recording of other words still follows the grammar somehow; it
    // shows in how badly the sound fits the words.
    for (std::size_t i = 0; i < words.size(); ++i) {
        const WordTime& time = alignment.words[i];
        if (time.end - time.start >= Aligner::kShortestJudgedWord && time.misfit > Aligner::kLargestWordMisfit) {
            error(&page, shownName, "the recording does not say the page's text: the word \"" + words[i] +
                                        "\" is not heard at " + seconds(time.start) + " s");
            return false;
        }
    }
    if (alignment.misfit > Aligner::kLargestMisfit) {
        error(&page, shownName, "the recording does not say the page's text (its words fit the sound badly)");
        return false;
    }
    double wordLevel = 0;
    for (const WordTime& time : alignment.words)
        wordLevel += rms(full, time.start, time.end);
    wordLevel /= static_cast<double>(alignment.words.size());
    for (const WordTime& pause : alignment.pauses) {
        if (pause.end - pause.start < kLongestUnreadSpeech) continue;
        // Speech over any stretch of the pause, in steps of a window.
        for (double at = pause.start; at + kLongestUnreadSpeech <= pause.end; at += 0.05) {
            if (rms(full, at, at + kLongestUnreadSpeech) > kSpeechLoudness * wordLevel) {
                error(&page, shownName, "the recording says more than the page's text (speech at " + seconds(at) +
                                            " s that is not among its words)");
                return false;
            }
        }
    }

    for (std::size_t i = 0; i < words.size(); ++i) {
        narration.clips.push_back(cutWord(full, alignment.words, i));
        if (narration.clips.back().seconds() < kShortestClip)
            warn(&page, "the word \"" + words[i] + "\" lasts only " + seconds(narration.clips.back().seconds()) +
                            " s in the recording; its clip may sound clipped");
    }
    narration.words = alignment.words;
    narration.recordingSeconds = full.seconds();
    narration.recording = std::move(full);
    narration.hasRecording = true;
    return true;
}

bool BookMaker::encodeNarration(const std::string& epc) {
    // Every word clip of the book at one loudness, so that no word of a
    // page sounds louder than another; the page recordings at the same.
    std::vector<const Recording*> clips;
    for (const PageNarration& narration : m_narration)
        for (const Recording& clip : narration.clips)
            clips.push_back(&clip);
    const double lufs = commonLoudness(clips);
    for (const PageSource& page : m_book.pages) {
        PageNarration& narration = m_narration[static_cast<std::size_t>(page.number - 1)];
        if (!narration.hasRecording) continue;
        for (std::size_t i = 0; i < narration.clips.size(); ++i) {
            const int index = static_cast<int>(i) + 1;
            const std::string sound = book::soundName(book::hotspotTag(page.number, index), page.number);
            std::string mp3 = encodeMp3(leveledTo(narration.clips[i], lufs));
            if (mp3.empty() || !writeFile(epc + "/" + book::narrationFile(sound).substr(4), mp3)) {
                error(&page, "", "the word \"" + page.words[i].text + "\" could not be encoded");
                return false;
            }
        }
        std::string pageMp3 = encodeMp3(leveledTo(narration.recording, lufs), &narration.delay);
        if (pageMp3.empty() ||
            !writeFile(epc + "/" + book::narrationFile(book::pageRecordingName(page.number)).substr(4), pageMp3)) {
            error(&page, "", "its recording could not be encoded");
            return false;
        }
        narration.clips.clear();
        narration.recording = Recording();
    }
    m_out << "lirra-make: narration at " << std::fixed << std::setprecision(1) << lufs << std::defaultfloat
          << " LUFS\n";
    return true;
}

bool BookMaker::writeReadAlong(const std::string& bookFolder) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const PageSource& page : m_book.pages) {
        const PageNarration& narration = m_narration[static_cast<std::size_t>(page.number - 1)];
        if (!narration.hasRecording) continue;
        entries.emplace_back(book::readAlongPageKey(page.number), std::to_string(narration.words.size()));
        for (std::size_t i = 0; i < narration.words.size(); ++i) {
            const int tag = book::hotspotTag(page.number, static_cast<int>(i) + 1);
            // A word said to the recording's last sample ends with it.
            const double end = std::min(narration.words[i].end + narration.delay, narration.recordingSeconds);
            entries.emplace_back(book::readAlongWordKey(tag, page.number),
                                 seconds(narration.words[i].start + narration.delay) + " " + seconds(end));
        }
    }
    return bookmaker::writePlist(book::readAlongFile(bookFolder), entries);
}

bool BookMaker::writeTimings() {
    std::ofstream out(m_options.timings);
    for (const PageSource& page : m_book.pages) {
        const PageNarration& narration = m_narration[static_cast<std::size_t>(page.number - 1)];
        for (std::size_t i = 0; i < narration.words.size(); ++i)
            out << page.number << "\t" << i + 1 << "\t" << page.words[i].text << "\t"
                << seconds(narration.words[i].start) << "\t" << seconds(narration.words[i].end) << "\n";
    }
    return static_cast<bool>(out);
}

bool BookMaker::pack(const std::string& root) {
    std::string why;
    if (bookmaker::packBook(root, m_options.output, why)) return true;
    m_out << "lirra-make: " << why << "\n";
    return false;
}

bool BookMaker::narrate(const bookmaker::BookSource& book, const std::string& bookFolder, const std::string& work) {
    if (&book != &m_book) m_book = book;
    const std::string epc = bookFolder + "/epc";
    std::error_code ec;
    fs::create_directories(epc, ec);
    m_narration.assign(m_book.pages.size(), PageNarration());
    {
        Pronouncer pronouncer;
        Aligner aligner(pronouncer);
        if (!aligner.error().empty()) {
            m_out << "lirra-make: " << aligner.error() << "\n";
            return false;
        }
        for (const PageSource& page : m_book.pages) {
            m_out << "lirra-make: page " << page.number << " of " << m_book.pages.size() << ": "
                  << (page.words.empty() ? "a picture" : std::to_string(page.words.size()) + " words") << "\n";
            m_out.flush();
            narratePage(page, aligner, work);
        }
    }
    if (!m_errors && (!encodeNarration(epc) || !writeReadAlong(bookFolder) || (!m_options.timings.empty() && !writeTimings()))) {
        m_out << "lirra-make: cannot write the read-along table or the timings\n";
        ++m_errors;
    }
    if (m_errors) m_out << "lirra-make: " << m_errors << " problem" << (m_errors == 1 ? "" : "s") << "; nothing written\n";
    return m_errors == 0;
}

int BookMaker::run() {
    std::string problems;
    if (!readBookText(m_options.source, m_book, problems)) {
        std::istringstream lines(problems);
        for (std::string line; std::getline(lines, line);)
            m_out << "lirra-make: " << line << "\n";
        return 1;
    }
    if (!checkNames()) return 1;
    if (!m_book.fontFile.empty()) {
        // The book's own font becomes known by its family name.
        FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(m_book.fontFile.c_str()));
        FcFontSet* fonts = FcFontSetCreate();
        if (FcFileScan(fonts, nullptr, nullptr, nullptr, reinterpret_cast<const FcChar8*>(m_book.fontFile.c_str()),
                       FcTrue) && fonts->nfont > 0) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[0], FC_FAMILY, 0, &family) == FcResultMatch)
                m_book.font = reinterpret_cast<const char*>(family);
        } else {
            error(nullptr, m_book.fontFile, "is not a font");
        }
        FcFontSetDestroy(fonts);
        if (m_errors) return 1;
    }
    for (const PageSource& page : m_book.pages) {
        if (page.pictureFile.empty()) continue;
        SDL_Surface* picture = IMG_Load(page.pictureFile.c_str());
        if (!picture) {
            error(&page, fs::path(page.pictureFile).filename().string(),
                  std::string("cannot be read as a picture (") + IMG_GetError() + ")");
            continue;
        }
        if (picture->w < 480 || picture->h < 400)
            warn(&page, "the picture " + fs::path(page.pictureFile).filename().string() + " is " +
                            std::to_string(picture->w) + " x " + std::to_string(picture->h) +
                            " pixels, smaller than the page shows it; it will look soft");
        SDL_FreeSurface(picture);
    }
    if (m_errors) return 1;

    const std::string work = fs::temp_directory_path() / ("lirra-make-" + std::to_string(getpid()));
    std::error_code ec;
    fs::remove_all(work, ec);
    const std::string root = m_options.folder ? m_options.output + ".partial" : work + "/book";
    fs::remove_all(root, ec);
    m_book.bookFolder = "testLirra";
    const std::string bookFolder = root + "/" + m_book.bookFolder;
    const std::string epc = bookFolder + "/epc";
    fs::create_directories(epc, ec);
    fs::create_directories(work + "/pictures", ec);
    if (ec) {
        m_out << "lirra-make: cannot make the work folder " << work << " (" << ec.message() << ")\n";
        return 2;
    }
    auto cleanUp = [&] {
        fs::remove_all(work, ec);
        if (m_options.folder) fs::remove_all(root, ec);
    };

    bookmaker::BookWriter writer(m_book, m_options.art, root, work + "/pictures");
    // Pictures and print first: a page too full fails before any narration.
    if (!writer.writeAll()) {
        m_out << "lirra-make: nothing written\n";
        cleanUp();
        return 1;
    }
    // The book carries its print font, so that the reader's own text (the
    // bubble's words) is in the same letters as the print.
    const std::string printFont = m_book.fontFile.empty() ? shareableFontFile(m_book.font) : m_book.fontFile;
    if (!printFont.empty()) {
        fs::create_directories((fs::path(root) / book::kPrintFontFile).parent_path(), ec);
        fs::copy_file(printFont, fs::path(root) / book::kPrintFontFile, fs::copy_options::overwrite_existing, ec);
        if (ec) warn(nullptr, "the print font " + printFont + " could not be copied into the book");
    }
    if (!narrate(m_book, bookFolder, work)) {
        cleanUp();
        return m_errors ? 1 : 2;
    }
    bool done = true;
    if (m_options.folder) {
        // Only a folder that holds a book, or nothing, is replaced.
        if (fs::exists(m_options.output) && !fs::is_empty(m_options.output, ec) &&
            !fs::exists(fs::path(m_options.output) / book::kInterfaceTextsFile)) {
            m_out << "lirra-make: " << m_options.output << " holds other files than a book; nothing written\n";
            done = false;
        } else {
            fs::remove_all(m_options.output, ec);
            fs::rename(root, m_options.output, ec);
            done = !ec;
            if (ec) m_out << "lirra-make: cannot write " << m_options.output << " (" << ec.message() << ")\n";
        }
    } else {
        done = pack(root);
    }
    cleanUp();
    if (!done) return 2;
    m_out << "lirra-make: wrote " << m_options.output << " (" << m_book.pages.size() << " pages, "
          << seconds(m_recordedSeconds) << " s of narration)\n";
    return 0;
}

} // namespace maker
