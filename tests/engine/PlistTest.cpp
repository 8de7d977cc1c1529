#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCInteger.h"
#include "engine/base/CCPlistReader.h"
#include "engine/base/CCString.h"
#include "engine/platform/CCFileUtils.h"
#include "support/LeakCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace engine;
using testsupport::LogCapture;
using testsupport::TempDir;

namespace {

const char* const kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

std::string plist(const std::string& body) {
    return kHeader + ("<plist version=\"1.0\">\n" + body + "\n</plist>\n");
}

std::string nested(int depth, const std::string& innermost) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<array>";
    text += innermost;
    for (int i = 0; i < depth; ++i)
        text += "</array>";
    return text;
}

CCDictionary* parse(const std::string& text, const char* origin = "test.plist") {
    return CCDictionary::createWithPlistData(text.data(), text.size(), origin);
}

std::string stringAt(CCDictionary* dictionary, const std::string& key) {
    auto* text = dynamic_cast<CCString*>(dictionary->objectForKey(key));
    return text ? text->getString() : "<not a string>";
}

// Each plist test reads files from its own root and leaves no object behind.
class PlistTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousRoot = CCFileUtils::sharedFileUtils()->getResourceRoot();
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_dir.path());
        CCAutoreleasePool::sharedPool()->drain();
        m_leaks.start();
    }
    void TearDown() override {
        CCAutoreleasePool::sharedPool()->drain();
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_previousRoot);
    }
    const TempDir& dir() const { return m_dir; }

    // A malformed text gives nullptr and one log line naming its origin.
    void expectRejected(const std::string& text, const std::string& fragment) {
        SCOPED_TRACE(text);
        LogCapture log;
        EXPECT_EQ(parse(text, "broken.plist"), nullptr);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains("CCDictionary: cannot parse plist 'broken.plist'")) << log.lines()[0];
        EXPECT_TRUE(log.contains(fragment)) << log.lines()[0];
    }

private:
    TempDir m_dir;
    std::string m_previousRoot;
    testsupport::LeakCheck m_leaks;
};

} // namespace

TEST_F(PlistTest, ReadsEveryValueKindNested) {
    CCDictionary* root = parse(plist(R"(<dict>
        <key>name</key><string>Lirra</string>
        <key>pages</key><integer>-42</integer>
        <key>big</key><integer> +2147483647 </integer>
        <key>scale</key><real>0.5</real>
        <key>exp</key><real>-1.5e3</real>
        <key>on</key><true/>
        <key>off</key><false/>
        <key>when</key><date>2013-05-01T10:00:00Z</date>
        <key>blob</key><data>
            AA
            EC</data>
        <key>padded</key><data>SGk=</data>
        <key>list</key>
        <array>
            <string>a</string>
            <integer>7</integer>
            <dict><key>inner</key><array><true/></array></dict>
            <array/>
        </array>
        <key>empty</key><dict/>
    </dict>)"));
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(CCAutoreleasePool::sharedPool()->contains(root));
    EXPECT_EQ(root->count(), 12u);
    EXPECT_EQ(stringAt(root, "name"), "Lirra");
    EXPECT_EQ(dynamic_cast<CCInteger*>(root->objectForKey("pages"))->getValue(), -42);
    EXPECT_EQ(dynamic_cast<CCInteger*>(root->objectForKey("big"))->getValue(), 2147483647);
    EXPECT_DOUBLE_EQ(dynamic_cast<CCDouble*>(root->objectForKey("scale"))->getValue(), 0.5);
    EXPECT_DOUBLE_EQ(dynamic_cast<CCDouble*>(root->objectForKey("exp"))->getValue(), -1500.0);
    EXPECT_TRUE(dynamic_cast<CCBool*>(root->objectForKey("on"))->getValue());
    EXPECT_FALSE(dynamic_cast<CCBool*>(root->objectForKey("off"))->getValue());
    EXPECT_EQ(stringAt(root, "when"), "2013-05-01T10:00:00Z");
    EXPECT_EQ(stringAt(root, "blob"), std::string("\0\1\2", 3)) << "base64 decoded, white space skipped";
    EXPECT_EQ(stringAt(root, "padded"), "Hi");

    auto* list = dynamic_cast<CCArray*>(root->objectForKey("list"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 4u);
    EXPECT_EQ(dynamic_cast<CCString*>(list->objectAtIndex(0))->getString(), "a");
    EXPECT_EQ(dynamic_cast<CCInteger*>(list->objectAtIndex(1))->getValue(), 7);
    auto* inner = dynamic_cast<CCDictionary*>(list->objectAtIndex(2));
    ASSERT_NE(inner, nullptr);
    auto* innerArray = dynamic_cast<CCArray*>(inner->objectForKey("inner"));
    ASSERT_NE(innerArray, nullptr);
    EXPECT_TRUE(dynamic_cast<CCBool*>(innerArray->objectAtIndex(0))->getValue());
    EXPECT_EQ(dynamic_cast<CCArray*>(list->objectAtIndex(3))->count(), 0u);

    auto* empty = dynamic_cast<CCDictionary*>(root->objectForKey("empty"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->count(), 0u);
}

TEST_F(PlistTest, KeysAreExactAndTheLastRepeatWins) {
    CCDictionary* root = parse(plist("<dict><key>Word</key><string>upper</string>"
                                     "<key>word</key><string>lower</string>"
                                     "<key> word</key><string>spaced</string>"
                                     "<key></key><string>nameless</string>"
                                     "<key>twice</key><string>first</string>"
                                     "<key>twice</key><string>second</string></dict>"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(stringAt(root, "Word"), "upper");
    EXPECT_EQ(stringAt(root, "word"), "lower");
    EXPECT_EQ(stringAt(root, " word"), "spaced");
    EXPECT_EQ(stringAt(root, ""), "nameless");
    EXPECT_EQ(root->objectForKey("WORD"), nullptr);
    EXPECT_EQ(root->objectForKey("word "), nullptr);
    EXPECT_EQ(stringAt(root, "twice"), "second");
    EXPECT_EQ(root->count(), 5u);
}

TEST_F(PlistTest, StringTextIsKeptExactly) {
    CCDictionary* root = parse(plist("<dict>"
                                     "<key>padded</key><string>  two  words \t</string>"
                                     "<key>blank</key><string>   </string>"
                                     "<key>lines</key><string>\none\r\ntwo\n</string>"
                                     "<key>empty</key><string></string>"
                                     "<key>closed</key><string/>"
                                     "<key>escaped</key><string>&lt;a &amp; b&gt; &#x4E2D;&quot;</string>"
                                     "<key>cdata</key><string>x<![CDATA[ <raw> & ]]>y</string>"
                                     "<key>中文</key><string>你好，世界 ภาษาไทย é</string>"
                                     "</dict>"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(stringAt(root, "padded"), "  two  words \t");
    EXPECT_EQ(stringAt(root, "blank"), "   ");
    // XML reads every line break as a plain newline.
    EXPECT_EQ(stringAt(root, "lines"), "\none\ntwo\n");
    EXPECT_EQ(stringAt(root, "empty"), "");
    EXPECT_EQ(stringAt(root, "closed"), "");
    EXPECT_EQ(stringAt(root, "escaped"), "<a & b> 中\"");
    EXPECT_EQ(stringAt(root, "cdata"), "x <raw> & y");
    EXPECT_EQ(stringAt(root, "中文"), "你好，世界 ภาษาไทย é");
}

TEST_F(PlistTest, Utf16FileWithByteOrderMarkIsRead) {
    std::string utf8 = "<plist><dict><key>k</key><string>é</string></dict></plist>";
    std::string utf16 = "\xFF\xFE";
    for (unsigned char c : std::string("<plist><dict><key>k</key><string>"))
        utf16 += {char(c), '\0'};
    utf16 += {'\xE9', '\0'};
    for (unsigned char c : std::string("</string></dict></plist>"))
        utf16 += {char(c), '\0'};
    CCDictionary* root = parse(utf16);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(stringAt(root, "k"), "é");
}

TEST_F(PlistTest, RootMayBeBareDictButMustBeADict) {
    CCDictionary* bare = parse("<dict><key>a</key><string>1</string></dict>");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(stringAt(bare, "a"), "1");

    expectRejected(plist("<array><string>a</string></array>"), "the root is <array>");
    expectRejected(plist("<string>a</string>"), "the root is <string>");
    expectRejected("<array/>", "the root is <array>");
    expectRejected("<plist/>", "<plist> holds no value");
    expectRejected(plist("<dict/><dict/>"), "more than one value in <plist>");
    expectRejected("<dict/><dict/>", "more than one root element");
    expectRejected("", "No document element");
}

TEST_F(PlistTest, MalformedContentIsRejectedWithItsOffset) {
    expectRejected(plist("<dict><key>a</key><string>x</string>"), "at offset");
    expectRejected(plist("<dict><key>a</key><string>x</dict>"), "Start-end tags mismatch");
    expectRejected(plist("<dict><key>a</key></dict>"), "<key> 'a' has no value");
    expectRejected(plist("<dict><key>a</key><key>b</key><string>x</string></dict>"),
                   "<key> 'a' has no value");
    expectRejected(plist("<dict><string>x</string></dict>"), "<string> without a <key>");
    expectRejected(plist("<dict><key>a</key><color>red</color></dict>"), "unknown element <color>");
    expectRejected(plist("<dict><key>a</key><integer>12abc</integer></dict>"), "not an integer");
    expectRejected(plist("<dict><key>a</key><integer></integer></dict>"), "not an integer");
    expectRejected(plist("<dict><key>a</key><integer>+-1</integer></dict>"), "not an integer");
    expectRejected(plist("<dict><key>a</key><data>AB@C</data></dict>"), "not base64");
    expectRejected(plist("<dict><key>a</key><data>QUJDR</data></dict>"), "not base64");
    expectRejected(plist("<dict><key>a</key><data>QQ=</data></dict>"), "not base64");
    expectRejected(plist("<dict><key>a</key><real>1.5.2</real></dict>"), "not a real number");
    expectRejected(plist("<dict><key>a</key><string>x<b/></string></dict>"),
                   "unexpected <b> inside <string>");
    expectRejected(plist("<dict>junk<key>a</key><string>x</string></dict>"), "stray text inside <dict>");

    // The offset points at the offending element.
    std::string text = "<dict><key>a</key><key>b</key><string>x</string></dict>";
    LogCapture log;
    EXPECT_EQ(parse(text), nullptr);
    EXPECT_TRUE(log.contains("at offset " + std::to_string(text.find("<key>")))) << log.lines()[0];
}

TEST_F(PlistTest, IntegersBeyondAnIntAreSaturatedAndTheFileKept) {
    LogCapture log;
    CCDictionary* root = parse(plist(R"(<dict>
        <key>above</key><integer>2147483648</integer>
        <key>long</key><integer>-9223372036854775809</integer>
        <key>huge</key><integer>123456789012345678901234567890123456789012345678901234567890</integer>
        <key>fine</key><integer>12</integer>
    </dict>)"));
    ASSERT_NE(root, nullptr);
    auto value = [&](const char* key) {
        return dynamic_cast<CCInteger*>(root->objectForKey(key))->getValue();
    };
    EXPECT_EQ(value("above"), INT_MAX);
    EXPECT_EQ(value("long"), INT_MIN);
    EXPECT_EQ(value("huge"), INT_MAX);
    EXPECT_EQ(value("fine"), 12);
    ASSERT_EQ(log.lines().size(), 3u);
    EXPECT_EQ(log.count("plist 'test.plist': integer 2147483648 is beyond the 32-bit range"), 1);
    EXPECT_EQ(log.count("1234567890123456789012345678901234567890..."), 1) << "long values are cut";
}

TEST_F(PlistTest, FailureHalfWayLeavesNoObjectsBehind) {
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "<key>k" + std::to_string(i) + "</key><array><string>v</string></array>";
    LogCapture log;
    EXPECT_EQ(parse(plist("<dict>" + many + "<key>last</key></dict>")), nullptr);
    // TearDown checks that the live object count went back.
}

TEST_F(PlistTest, NestingIsCappedRatherThanOverflowingTheStack) {
    // kPlistMaxDepth containers, counting the root dict, still read.
    std::string deepest =
        plist("<dict><key>a</key>" + nested(kPlistMaxDepth - 1, "<string>bottom</string>") + "</dict>");
    CCDictionary* root = parse(deepest);
    ASSERT_NE(root, nullptr);
    CCObject* node = root->objectForKey("a");
    for (int i = 0; i < kPlistMaxDepth - 1; ++i)
        node = dynamic_cast<CCArray*>(node)->objectAtIndex(0);
    EXPECT_EQ(dynamic_cast<CCString*>(node)->getString(), "bottom");

    expectRejected(plist("<dict><key>a</key>" + nested(kPlistMaxDepth, "") + "</dict>"),
                   "nested deeper than");
    expectRejected(plist("<dict><key>a</key>" + nested(200000, "<true/>") + "</dict>"), "nested deeper than");
}

TEST_F(PlistTest, ReadsFilesThroughTheResourceRoot) {
    dir().write("testLirra/StringConfig.xml", plist("<dict><key>lirraSubName</key><string>3age</string>"
                                                    "<key>pageMin</key><string>1</string></dict>"));
    CCDictionary* config =
        CCDictionary::createWithContentsOfFile((std::string("testLirra") + "/StringConfig.xml").c_str());
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(stringAt(config, "lirraSubName"), "3age");
    EXPECT_STREQ(config->valueForKey("pageMin"), "1");
    EXPECT_NE(CCDictionary::createWithContentsOfFile("./testLirra/StringConfig.xml"), nullptr);
}

TEST_F(PlistTest, UnreadableFilesGiveNullptrAndOneLineNamingThem) {
    dir().write("folder.plist/inside.txt", "");
    dir().write("list.plist", plist("<array><integer>1</integer></array>"));
    dir().write("broken.plist", "<plist><dict><key>a</key>");
    // A real plist just outside the root must stay out of reach.
    TempDir outside;
    outside.write("secret.plist", plist("<dict><key>a</key><string>x</string></dict>"));
    std::string escape = "../" + std::filesystem::path(outside.path()).filename().string() + "/secret.plist";

    struct Case {
        std::string name;
        std::string fragment;
    };
    const Case cases[] = {
        {"missing.plist", "CCDictionary: cannot read plist 'missing.plist': no such file '" + dir().path()},
        {"folder.plist", "is not a readable file"},
        {"list.plist", "CCDictionary: cannot parse plist 'list.plist': the root is <array>"},
        {"broken.plist", "CCDictionary: cannot parse plist 'broken.plist'"},
        {escape, "CCFileUtils: refusing '" + escape + "'"},
        {"../x", "CCFileUtils: refusing '../x'"},
        {"/etc/passwd", "CCFileUtils: refusing '/etc/passwd'"},
        {"a/../../x", "CCFileUtils: refusing 'a/../../x'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        EXPECT_EQ(CCDictionary::createWithContentsOfFile(c.name.c_str()), nullptr);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(log.contains(c.fragment)) << log.lines()[0];
    }
    LogCapture log;
    EXPECT_EQ(CCDictionary::createWithContentsOfFile(nullptr), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(PlistTest, GeneralReaderTakesArrayOrDictRoots) {
    dir().write("frames.plist", plist("<array><string>a.png</string><string>b.png</string></array>"));
    auto* frames = dynamic_cast<CCArray*>(ccReadPlistFile("frames.plist"));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->count(), 2u);

    std::string dict = "<dict><key>k</key><integer>3</integer></dict>";
    EXPECT_NE(dynamic_cast<CCDictionary*>(ccReadPlistData(dict.data(), dict.size(), "inline")), nullptr);

    LogCapture log;
    std::string scalar = plist("<string>x</string>");
    EXPECT_EQ(ccReadPlistData(scalar.data(), scalar.size(), "inline"), nullptr);
    EXPECT_EQ(ccReadPlistFile("nothing.plist"), nullptr);
    EXPECT_EQ(ccReadPlistData(nullptr, 10, nullptr), nullptr);
    ASSERT_EQ(log.lines().size(), 3u);
    EXPECT_TRUE(
        log.contains("CCPlist: cannot parse plist 'inline': the root is <string>, not a <dict> or <array>"));
    EXPECT_TRUE(log.contains("CCPlist: cannot read plist 'nothing.plist'"));
}

// The fuzzer's seeds, and any input it ever crashed on, kept as regressions.
TEST_F(PlistTest, CommittedFuzzInputsGiveADictionaryOrOneLogLine) {
    const std::filesystem::path corpus = std::filesystem::path(LIRRA_SOURCE_DIR) / "fuzz/corpus/plist";
    std::vector<std::string> accepted;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LogCapture log;
        CCDictionary* root = parse(text, name.c_str());
        EXPECT_EQ(log.lines().size(), root ? 0u : 1u);
        if (root) accepted.push_back(name);
    }
    std::sort(accepted.begin(), accepted.end());
    // The valid seeds must keep parsing; deep.plist is over the nesting cap.
    EXPECT_EQ(accepted, (std::vector<std::string>{"config.plist", "frames.plist"}));
}
