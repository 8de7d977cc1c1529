#include "book/ReadAlongTable.h"

#include "book/BookContract.h"
#include "book/BookNames.h"
#include "engine/audio/NarrationCheck.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCString.h"
#include "engine/platform/CCFileUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>

using namespace engine;

namespace book {

namespace {

// Seconds as the faults print them.
std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", value);
    return text;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A finite decimal number at `at` (blanks before it skipped); `at` moves past it.
std::optional<double> numberAt(const std::string& text, size_t& at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    double value = 0;
    const char* first = text.data() + at;
    const auto [end, error] =
        std::from_chars(first, text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    at += static_cast<size_t>(end - first);
    return value;
}

// "START END": two decimal numbers and nothing else.
std::optional<ReadAlongWord> wordTimes(const std::string& text) {
    size_t at = 0;
    const std::optional<double> start = numberAt(text, at);
    if (!start || at >= text.size() || !isBlank(text[at])) return std::nullopt;
    const std::optional<double> end = numberAt(text, at);
    while (at < text.size() && isBlank(text[at]))
        ++at;
    if (!end || at != text.size()) return std::nullopt;
    return ReadAlongWord{*start, *end};
}

// A whole number written in digits alone (blanks around allowed).
std::optional<int> wordCount(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data() + first, text.data() + last, value);
    if (first == last || error != std::errc() || end != text.data() + last || text[first] == '-')
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ReadAlongTable> ReadAlongTable::read(const std::string& bookDir, std::string* problem) {
    const std::string file = readAlongFile(bookDir);
    if (!CCFileUtils::sharedFileUtils()->isFileExist(file)) return std::nullopt;
    ReadAlongTable table;
    CCDictionary* dictionary = CCDictionary::createWithContentsOfFile(file.c_str());
    if (!dictionary) {
        if (problem) *problem = "it is not a property-list dictionary";
        return table;
    }
    for (const auto& [key, value] : dictionary->entries()) {
        auto* text = dynamic_cast<CCString*>(value);
        // Another kind of value keeps its key, so that its word is named.
        table.m_values[key] = text ? text->getString() : std::string("(not a <string>)");
    }
    return table;
}

bool ReadAlongTable::hasPage(int page) const {
    return m_values.count(readAlongPageKey(page)) > 0;
}

std::optional<ReadAlongEntry> ReadAlongTable::entry(const std::string& bookDir, int page,
                                                    const std::set<int>& hotspots,
                                                    std::vector<ReadAlongFault>& faults) const {
    const size_t faultsBefore = faults.size();
    auto fault = [&faults](const std::string& what, const std::string& fix, bool aboutRecording = false) {
        faults.push_back({aboutRecording, what, fix});
    };
    const std::string pageKey = readAlongPageKey(page);
    const auto countText = m_values.find(pageKey);
    if (countText == m_values.end()) return std::nullopt;

    ReadAlongEntry entry;
    entry.page = page;
    const std::optional<int> count = wordCount(countText->second);
    if (!count || *count < 1 || *count > kLastHotspotIndex) {
        fault(quoted(pageKey) + " is " + quoted(countText->second) + ", not a count of words from 1 to " +
                  std::to_string(kLastHotspotIndex),
              "write how many of the page's words have times, e.g. <string>4</string>");
    }

    // The recording: present, playable as narration, with a length.
    const std::string sound = pageRecordingName(page);
    entry.recording = narrationPath(bookDir, sound);
    const std::string recordingName =
        "the page's recording " + entry.recording + " (sound name " + sound + ")";
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    const std::optional<std::string> bytes = CCFileUtils::sharedFileUtils()->getFileData(
        entry.recording, &readError, CCFileUtils::FileKind::Sound);
    if (!bytes) {
        fault(recordingName +
                  (readError == CCFileUtils::ReadError::Refused ? " cannot be used" : " is missing"),
              "save the page's whole recording as a plain MP3 file " + entry.recording, true);
    } else if (const std::string problem = narrationProblemInBytes(*bytes); !problem.empty()) {
        fault(recordingName + " is " + problem,
              "encode the recording again as MP3, at a level that does not clip", true);
    } else {
        entry.recordingSeconds = narrationSeconds(*bytes);
        if (entry.recordingSeconds <= 0)
            fault(recordingName + " does not decode as MPEG audio", "encode it again as MP3", true);
        else if (entry.recordingSeconds > kLongestPageRecordingSeconds)
            fault(recordingName + " lasts " + seconds(entry.recordingSeconds) + ", more than the " +
                      seconds(kLongestPageRecordingSeconds) + " a page's recording may",
                  "record the page on its own", true);
    }

    // The words' times: each word's start before its end, the starts rising,
    // all within the recording.
    const int words = count && *count >= 1 && *count <= kLastHotspotIndex ? *count : 0;
    for (int index = 1; index <= words; ++index) {
        const std::string key = readAlongWordKey(hotspotTag(page, index), page);
        const std::string word = "word " + std::to_string(index) + " (" + quoted(key) + ")";
        const auto text = m_values.find(key);
        if (text == m_values.end()) {
            fault("no times for " + word + ", though " + quoted(pageKey) + " counts " +
                      std::to_string(words) + " words",
                  "add <key>" + key + "</key><string>START END</string> in seconds of the recording");
            entry.words.push_back({-1, -1});
            continue;
        }
        const std::optional<ReadAlongWord> times = wordTimes(text->second);
        if (!times) {
            fault("the times of " + word + " are " + quoted(text->second) +
                      ", not \"START END\" in seconds (e.g. \"0.412 0.655\")",
                  "write the word's start and end in seconds, with a decimal point");
            entry.words.push_back({-1, -1});
            continue;
        }
        if (times->start < 0)
            fault(word + " starts at " + seconds(times->start) + ", before the recording",
                  "give times from the recording's start");
        else if (times->end <= times->start)
            fault(word + " ends at " + seconds(times->end) + ", not after its start at " +
                      seconds(times->start),
                  "give the word's end after its start");
        // Times are written to the millisecond; the length is measured to the sample.
        if (entry.recordingSeconds > 0 && times->end > entry.recordingSeconds + 0.001)
            fault(word + " ends at " + seconds(times->end) + ", past the end of the " +
                      seconds(entry.recordingSeconds) + " recording",
                  "give times within the recording");
        for (int before = index - 1; before >= 1; --before) {
            const ReadAlongWord& earlier = entry.words[static_cast<size_t>(before - 1)];
            if (earlier.start < 0) continue; // named already
            if (times->start <= earlier.start)
                fault(word + " starts at " + seconds(times->start) + ", not after word " +
                          std::to_string(before) + " at " + seconds(earlier.start),
                      "give the words' times in reading order");
            break;
        }
        entry.words.push_back(*times);
    }

    // Every word with times has its hotspot, and every hotspot its times.
    for (int index = 1; index <= words; ++index)
        if (!hotspots.count(index))
            fault("word " + std::to_string(index) + " has times but the page has no hotspot " +
                      hotspotName(page, index),
                  "count only the page's words in " + quoted(pageKey));
    for (int index : hotspots)
        if (index > words)
            fault("hotspot " + hotspotName(page, index) + " (word " + std::to_string(index) +
                      ") has no times: " + quoted(pageKey) + " counts " + std::to_string(words) + " words",
                  "give every word of the page its times");

    if (faults.size() != faultsBefore) return std::nullopt;
    return entry;
}

std::vector<std::string> ReadAlongTable::strayKeys(int firstPage, int lastPage) const {
    std::set<std::string> known;
    for (int page = firstPage; page >= firstPage && page <= lastPage; ++page) {
        if (!hasPage(page)) continue;
        known.insert(readAlongPageKey(page));
        const std::optional<int> count = wordCount(m_values.at(readAlongPageKey(page)));
        for (int index = 1; count && index <= *count && index <= kLastHotspotIndex; ++index)
            known.insert(readAlongWordKey(hotspotTag(page, index), page));
    }
    std::vector<std::string> stray;
    for (const auto& [key, value] : m_values)
        if (!known.count(key)) stray.push_back(key);
    return stray;
}

std::string describeFaults(const std::vector<ReadAlongFault>& faults) {
    std::string text;
    for (const ReadAlongFault& fault : faults)
        text += (text.empty() ? "" : "; ") + fault.what;
    return text;
}

} // namespace book
