// The naming rules that tie a word's hotspot, text, sound and narration file
// together, the decimal rule of the book files, and the configuration read.
#include "book/BookNames.h"
#include "book/BookState.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/platform/CCFileUtils.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

using namespace book;

TEST(BookNamesTest, HotspotNamesAndTagsAcrossThePageAndWordBoundaries) {
    EXPECT_EQ(hotspotName(3, 5), "bn035");
    EXPECT_EQ(hotspotName(3, 12), "bn0312");
    EXPECT_EQ(hotspotName(9, 1), "bn091");
    EXPECT_EQ(hotspotName(9, 49), "bn0949");
    EXPECT_EQ(hotspotName(10, 1), "bn101");
    EXPECT_EQ(hotspotName(12, 5), "bn125");

    EXPECT_EQ(hotspotTag(3, 5), 35);
    EXPECT_EQ(hotspotTag(3, 9), 39);
    EXPECT_EQ(hotspotTag(3, 10), 310);
    EXPECT_EQ(hotspotTag(3, 12), 312);
    EXPECT_EQ(hotspotTag(10, 5), 105);
    EXPECT_EQ(hotspotTag(10, 12), 1012);

    // Back from the tag: the index that auto-play continues after.
    EXPECT_EQ(indexFromTag(35, 3), 5);
    EXPECT_EQ(indexFromTag(312, 3), 12);
    EXPECT_EQ(indexFromTag(310, 3), 10);
    EXPECT_EQ(indexFromTag(105, 10), 5);
    EXPECT_EQ(indexFromTag(1012, 10), 12);
    EXPECT_EQ(indexFromTag(1249, 12), 49);
}

TEST(BookNamesTest, SoundNamesTextKeysAndNarrationPaths) {
    EXPECT_EQ(soundName(35, 3), "mc035.mp3");
    EXPECT_EQ(soundName(125, 12), "mc125.mp3");
    EXPECT_EQ(soundName(91, 9), "mc091.mp3");
    EXPECT_EQ(soundName(101, 10), "mc101.mp3");
    EXPECT_EQ(textKey(35, 3), "str035");
    EXPECT_EQ(textKey(32, 3), "str032");
    EXPECT_EQ(textKey(312, 3), "str0312");
    EXPECT_EQ(textKey(91, 9), "str091");
    EXPECT_EQ(textKey(101, 10), "str101");
    EXPECT_EQ(textKey(125, 12), "str125");

    // RFC 1321's own test vectors, then the digest over the name's bytes alone.
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(narrationPath("testLirra", "mc035.mp3"), "testLirra/epc/" + md5Hex("mc035.mp3") + ".mp3");
    EXPECT_EQ(narrationPath("testLirra", "mc035.mp3").size(), std::string("testLirra/epc/").size() + 32 + 4);

    EXPECT_EQ(pageLayoutPath("testLirra", "abc", 7), "testLirra/abc/abc_7.json");
}

TEST(BookStateTest, DecimalRule) {
    EXPECT_EQ(decimalValue("12"), 12);
    EXPECT_EQ(decimalValue("12abc"), 12);
    EXPECT_EQ(decimalValue("abc"), 0);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue("  -7"), -7);
    EXPECT_EQ(decimalValue("+3 pages"), 3);
    EXPECT_EQ(decimalValue("- 3"), 0);
    EXPECT_EQ(decimalValue("99999999999999"), 2147483647); // saturates instead of wrapping
}

namespace {
class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetBookState();
        saved = engine::CCFileUtils::sharedFileUtils()->getResourceRoot();
        engine::CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path());
    }
    void TearDown() override {
        engine::CCFileUtils::sharedFileUtils()->setResourceRoot(saved);
        engine::CCAutoreleasePool::sharedPool()->drain(); // the dictionaries read
        resetBookState();
    }
    void writeConfig(const std::string& entries) {
        dir.write("testLirra/StringConfig.xml", "<plist><dict>" + entries + "</dict></plist>");
    }
    static std::string entry(const std::string& key, const std::string& value) {
        return "<key>" + key + "</key><string>" + value + "</string>";
    }
    testsupport::TempDir dir;
    std::string saved;
    testsupport::LogCapture log;
};
} // namespace

TEST_F(ConfigurationTest, AllSevenKeysAreConvertedAndLogged) {
    writeConfig(entry("lirraSubName", "abc") + entry("pageMin", "2x") + entry("pageMax", " 40") +
                entry("wordMin", "3") + entry("wordMax", "39") + entry("ispep", "true") +
                entry("textsize", "32"));
    readBookConfiguration();
    EXPECT_EQ(subName, "abc");
    EXPECT_EQ(pageMin, 2);
    EXPECT_EQ(pageMax, 40);
    EXPECT_EQ(wordMin, 3);
    EXPECT_EQ(wordMax, 39);
    EXPECT_TRUE(ispep);
    EXPECT_EQ(textsize, 32);
    EXPECT_TRUE(log.contains("-----------TestController----- abc -------------- !"));
    EXPECT_TRUE(log.contains("-----------TestController----- 2x ---------2----- !"));
    EXPECT_TRUE(log.contains("-----------TestController----- 3 -------------- !"));
}

// Page numbers near the int limit would overflow tags ("page * 100 + word")
// and the page menu's count past the last page.
TEST_F(ConfigurationTest, PageNumbersBeyondTheLimitAreBroughtWithinIt) {
    writeConfig(entry("pageMin", "2147483640") + entry("pageMax", "99999999999") +
                entry("wordMin", "-5000000") + entry("wordMax", "999999") + entry("textsize", "5000000"));
    readBookConfiguration();
    EXPECT_EQ(pageMin, kPageNumberLimit);
    EXPECT_EQ(pageMax, kPageNumberLimit);
    EXPECT_EQ(wordMin, -kPageNumberLimit);
    EXPECT_EQ(wordMax, 999999);
    // Not a page number, but a font size with a limit of its own.
    EXPECT_EQ(textsize, kLargestTextSize);
    EXPECT_TRUE(log.contains("\"textsize\" is 5000000, beyond the largest of 500 points; it counts as 500"));
    EXPECT_EQ(log.count("beyond the 999999 pages a book can have"), 3);
    EXPECT_TRUE(log.contains(
        "\"pageMax\" is 2147483647, beyond the 999999 pages a book can have; it counts as 999999"));
    EXPECT_EQ(hotspotTag(pageMax, 30), 99999930);
}

TEST_F(ConfigurationTest, IspepTurnsTrueOnlyOnExactlyTrueAndNeverBack) {
    for (const char* text : {"True", "true ", "yes", "1"}) {
        writeConfig(entry("ispep", text));
        readBookConfiguration();
        EXPECT_FALSE(ispep) << text;
    }
    writeConfig(entry("ispep", "true"));
    readBookConfiguration();
    EXPECT_TRUE(ispep);
    writeConfig(entry("ispep", "false"));
    readBookConfiguration();
    EXPECT_TRUE(ispep);
}

TEST_F(ConfigurationTest, MissingFileOrKeysKeepTheValuesAndSayWhich) {
    readBookConfiguration(); // no file at all
    EXPECT_EQ(pageMin, 1);
    EXPECT_EQ(pageMax, 150);
    EXPECT_EQ(wordMin, -1);
    EXPECT_EQ(textsize, 25);
    EXPECT_TRUE(log.contains("no configuration testLirra/StringConfig.xml"));

    writeConfig(entry("lirraSubName", "abc") + entry("pageMax", "12"));
    log.clear();
    readBookConfiguration();
    EXPECT_EQ(subName, "abc");
    EXPECT_EQ(pageMax, 12);
    EXPECT_EQ(pageMin, 1);
    EXPECT_EQ(log.count("has no text for"), 5);
    EXPECT_TRUE(log.contains("testLirra/StringConfig.xml has no text for \"wordMin\""));

    // A key whose value is not a string counts as missing.
    writeConfig(entry("lirraSubName", "abc") + "<key>pageMax</key><integer>30</integer>");
    readBookConfiguration();
    EXPECT_EQ(pageMax, 12);
}

TEST_F(ConfigurationTest, InterfaceAndWordTextsOrNone) {
    dir.write("String.xml", "<plist><dict>" + entry("main_page", "Home") + "</dict></plist>");
    dir.write("testLirra/Stringstr.xml", "<plist><dict>" + entry("str035", "sun") + "</dict></plist>");
    EXPECT_EQ(readInterfaceText("main_page").value_or("?"), "Home");
    EXPECT_FALSE(readInterfaceText("bntext"));
    EXPECT_TRUE(log.contains("String.xml has no text for \"bntext\""));
    EXPECT_EQ(readWordText("str035").value_or("?"), "sun");
    EXPECT_FALSE(readWordText("str036"));
}

// A word table is read once, not for every word: looking words up while its
// file stays the same gives what was read, even when the bytes (but not the
// file's size and time) have changed; a changed or missing file is read again.
TEST_F(ConfigurationTest, TheWordTableIsReadOnceWhileItsFileStaysTheSame) {
    const std::string path =
        dir.write("testLirra/Stringstr.xml", "<plist><dict>" + entry("str035", "sun") + "</dict></plist>");
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    EXPECT_EQ(readWordText("str035").value_or("?"), "sun");

    // Same size, same time, other text: still the table already read.
    dir.write("testLirra/Stringstr.xml", "<plist><dict>" + entry("str035", "sky") + "</dict></plist>");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(readWordText("str035").value_or("?"), "sun");
    EXPECT_FALSE(readWordText("str036"));
    EXPECT_TRUE(log.contains("testLirra/Stringstr.xml has no text for \"str036\""));

    // A new time reads the file again.
    const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    EXPECT_EQ(readWordText("str035").value_or("?"), "sky");

    // Gone: missing, logged by the dictionary reader at every word, as before.
    std::filesystem::remove(path);
    log.clear();
    EXPECT_FALSE(readWordText("str035"));
    EXPECT_FALSE(readWordText("str035"));
    EXPECT_EQ(log.count("Stringstr.xml"), 2);
}
