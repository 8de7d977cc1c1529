// The committed sample book against its story: every word has its text key,
// narration file and hotspot under the names the reader derives; every
// layout reads with the real reader; every hotspot covers its printed word
// and holds its bubble's text on one line; shapes come out true on the
// reader's screen; the narration is evenly loud, starts at once and is
// encoded as the book ships it.
#include "app/DesktopFrame.h"
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCString.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIToolkit.h"
#include "support/HeadlessView.h"
#include "tools/book/BookSource.h"
#include "tools/book/BookWriter.h"
#include "tools/book/WordLayout.h"
#include "tools/book/WordNames.h"

#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

using namespace engine;
using namespace bookmaker;
using gui::UIButton;
using gui::UIToolkit;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::isColour;
using testsupport::Pixel;

const std::string kResources = LIRRA_SOURCE_DIR "/resources";

std::string text(CCDictionary* dict, const std::string& key) {
    auto* value = dict ? dynamic_cast<CCString*>(dict->objectForKey(key)) : nullptr;
    return value ? value->getString() : "<missing " + key + ">";
}

Json::Value readJson(const std::string& name) {
    std::ifstream in(kResources + "/" + name);
    Json::Value value;
    in >> value;
    return value;
}

// Opens the view as the reader's window on a desktop `desktopHeight` pixels
// high, with the design stretched over it as the reader stretches it.
::testing::AssertionResult openReaderWindow(int desktopHeight) {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->close();
    CCSize frame = app::frameSizeForDesktopHeight(desktopHeight);
    view->setFrameSize(frame.width, frame.height);
    view->setDesignResolutionSize(640, 960, kResolutionExactFit);
    if (!view->open())
        return ::testing::AssertionFailure() << "no view for a desktop " << desktopHeight << " high";
    return ::testing::AssertionSuccess();
}

// Width over height, in screen pixels, of the patch of `isPart` pixels that
// holds the design point `centre` of the last drawn frame.
template <typename IsPart> double patchShape(const CCPoint& centre, IsPart isPart) {
    std::vector<std::uint32_t> argb;
    int w = 0, h = 0;
    if (!CCEGLView::sharedOpenGLView()->readPixels(argb, w, h)) return 0;
    CCPoint start = CCEGLView::sharedOpenGLView()->getScreenMapping().toPixel(centre);
    int sx = static_cast<int>(start.x), sy = static_cast<int>(start.y);
    if (sx < 0 || sy < 0 || sx >= w || sy >= h || !isPart(argb[sy * w + sx])) return 0;
    std::vector<char> seen(argb.size(), 0);
    std::vector<std::pair<int, int>> stack{{sx, sy}};
    seen[sy * w + sx] = 1;
    int minX = sx, maxX = sx, minY = sy, maxY = sy;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
        maxY = std::max(maxY, y);
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
            std::size_t at = static_cast<std::size_t>(n[1]) * w + n[0];
            if (seen[at] || !isPart(argb[at])) continue;
            seen[at] = 1;
            stack.emplace_back(n[0], n[1]);
        }
    }
    return static_cast<double>(maxX - minX + 1) / (maxY - minY + 1);
}

// A narration as the reader decodes it (SDL_mixer), one channel at 44.1 kHz.
std::vector<float> decodeNarration(const std::string& path) {
    std::vector<float> samples;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return samples;
    const auto* pcm = reinterpret_cast<const Sint16*>(chunk->abuf);
    for (Uint32 i = 0; i < chunk->alen / 2; ++i)
        samples.push_back(pcm[i] / 32768.0f);
    Mix_FreeChunk(chunk);
    return samples;
}

// Integrated loudness (LUFS, ITU-R BS.1770: K-weighting, 400 ms blocks
// overlapping by three quarters, absolute and relative gates) of a word
// played ten times over, and for at least three blocks, since one word is
// shorter than a block.
double loudness(const std::vector<float>& word, double rate) {
    // The two K-weighting filters for this rate.
    const double pi = 3.14159265358979323846;
    double k = std::tan(pi * 1681.974450955533 / rate), q = 0.7071752369554196;
    double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    const double shelfB[3] = {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                              (vh - vb * k / q + k * k) / a0};
    const double shelfA[3] = {1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    k = std::tan(pi * 38.13547087602444 / rate), q = 0.5003270373238773;
    a0 = 1.0 + k / q + k * k;
    const double passB[3] = {1.0, -2.0, 1.0};
    const double passA[3] = {1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    std::vector<double> weighted;
    double s1 = 0, s2 = 0, p1 = 0, p2 = 0, y1 = 0, y2 = 0, z1 = 0, z2 = 0;
    for (int round = 0; round < 10 || weighted.size() < static_cast<std::size_t>(rate * 1.2); ++round)
        for (float x : word) {
            double y = shelfB[0] * x + shelfB[1] * s1 + shelfB[2] * s2 - shelfA[1] * y1 - shelfA[2] * y2;
            s2 = s1, s1 = x, y2 = y1, y1 = y;
            double z = passB[0] * y + passB[1] * p1 + passB[2] * p2 - passA[1] * z1 - passA[2] * z2;
            p2 = p1, p1 = y, z2 = z1, z1 = z;
            weighted.push_back(z * z);
        }
    const std::size_t block = static_cast<std::size_t>(rate * 0.4), step = block / 4;
    std::vector<double> powers;
    for (std::size_t at = 0; at + block <= weighted.size(); at += step) {
        double sum = 0;
        for (std::size_t i = at; i < at + block; ++i)
            sum += weighted[i];
        powers.push_back(sum / block);
    }
    auto lufs = [](double power) { return -0.691 + 10.0 * std::log10(power); };
    auto gatedMean = [&](double gate) {
        double sum = 0;
        int count = 0;
        for (double p : powers)
            if (lufs(p) > gate) sum += p, ++count;
        return count ? sum / count : 0.0;
    };
    double relativeGate = lufs(gatedMean(-70.0)) - 10.0;
    return lufs(gatedMean(relativeGate));
}

// Walks the MP3 frames of `data`: true when every frame is MPEG-1 layer III,
// one channel, at `rate` Hz and `kbits` kbit/s, and the frames fill the file
// (after an ID3v2 tag, before an ID3v1 tag).
::testing::AssertionResult encodedAs(const std::string& data, int rate, int kbits) {
    static const int bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int rates[4] = {44100, 48000, 32000, 0};
    std::size_t at = 0, end = data.size();
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
    if (end >= 10 && data.compare(0, 3, "ID3") == 0)
        at =
            10 + ((byte(6) & 0x7f) << 21 | (byte(7) & 0x7f) << 14 | (byte(8) & 0x7f) << 7 | (byte(9) & 0x7f));
    if (end >= 128 && data.compare(end - 128, 3, "TAG") == 0) end -= 128;
    int frames = 0;
    while (at + 4 <= end) {
        std::uint32_t h =
            std::uint32_t(byte(at)) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        if ((h >> 21) != 0x7ff || ((h >> 19) & 3) != 3 || ((h >> 17) & 3) != 1)
            return ::testing::AssertionFailure() << "no MPEG-1 layer III frame at byte " << at;
        int frameRate = rates[(h >> 10) & 3], frameKbits = bitrates[(h >> 12) & 15];
        if (frameRate != rate || frameKbits != kbits || ((h >> 6) & 3) != 3)
            return ::testing::AssertionFailure() << "frame " << frames << " is " << frameRate << " Hz, "
                                                 << frameKbits << " kbit/s, channel mode " << ((h >> 6) & 3);
        at += 144 * frameKbits * 1000 / frameRate + ((h >> 9) & 1);
        ++frames;
    }
    if (frames == 0 || at != end)
        return ::testing::AssertionFailure() << frames << " frames end at byte " << at << " of " << end;
    return ::testing::AssertionSuccess();
}

class SampleBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto loaded = BookSource::load(LIRRA_SOURCE_DIR "/tools/book/story.json", error);
        ASSERT_TRUE(loaded) << error;
        book = *loaded;
        view = std::make_unique<HeadlessView>();
        ASSERT_TRUE(view->isOpen());
        CCFileUtils::sharedFileUtils()->setResourceRoot(kResources);
        UIToolkit::purgeToolkit();
    }
    void TearDown() override {
        UIToolkit::purgeToolkit();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        view.reset();
    }

    std::string pageFile(int page) const {
        return book.bookFolder + "/" + book.subName + "/" + book.subName + "_" + std::to_string(page) +
               ".json";
    }
    UIWidget* readLayout(const std::string& name) {
        ::testing::internal::CaptureStdout();
        UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(name);
        std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "") << name;
        return root;
    }

    BookSource book;
    std::unique_ptr<HeadlessView> view;
};

TEST_F(SampleBookTest, DictionariesAndNarrationFollowTheStory) {
    // The names themselves, worked out by hand once.
    EXPECT_EQ(narrationFile(1, 1), "epc/0625cc61773d7129fa56ae443752bd4b.mp3");
    EXPECT_EQ(narrationFile(12, 5), "epc/629a76c263b63f6ece73f4fbabd1b265.mp3");
    EXPECT_EQ(hotspotName(12, 5), "bn125");
    EXPECT_EQ(textKey(3, 5), "str035");

    CCDictionary* config =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/StringConfig.xml").c_str());
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->count(), 8u);
    EXPECT_EQ(text(config, "lirraTitle"), book.title); // the shelf's title under the cover
    EXPECT_EQ(text(config, "lirraSubName"), book.subName);
    EXPECT_EQ(text(config, "pageMin"), "1");
    EXPECT_EQ(text(config, "pageMax"), std::to_string(book.pages.size()));
    EXPECT_EQ(text(config, "wordMin"), "1");
    int textSize = std::stoi(text(config, "textsize"));
    EXPECT_LE(textSize, book.wordTextSize);
    EXPECT_GE(textSize, BookWriter::kSmallestTextSize);
    EXPECT_NE(text(config, "ispep"), "true") << "hotspots keep their own highlights";
    CCDictionary* interface = CCDictionary::createWithContentsOfFile("String.xml");
    for (const char* key : {"main_page", "setmenu_set", "bntext", "nopresenglish", "up_page", "after_page"})
        EXPECT_NE(text(interface, key).find_first_not_of(' '), std::string::npos) << key;

    ASSERT_EQ(book.pages.size(), 12u);
    CCDictionary* words =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/Stringstr.xml").c_str());
    ASSERT_NE(words, nullptr);
    unsigned total = 0;
    bool pictureOnlyPage = false;
    for (const PageSource& page : book.pages) {
        pictureOnlyPage = pictureOnlyPage || page.words.empty();
        if (!page.words.empty()) {
            EXPECT_GE(page.words.size(), 4u) << "page " << page.number;
            EXPECT_LE(page.words.size(), 9u) << "page " << page.number;
        }
        for (std::size_t i = 0; i < page.words.size(); ++i, ++total) {
            int word = static_cast<int>(i) + 1;
            EXPECT_EQ(text(words, textKey(page.number, word)), page.words[i].text);
            std::ifstream mp3(kResources + "/" + book.bookFolder + "/" + narrationFile(page.number, word),
                              std::ios::binary);
            char head[3] = {};
            mp3.read(head, 3);
            bool isMp3 = std::string(head, 3) == "ID3" ||
                         (static_cast<unsigned char>(head[0]) == 0xff && (head[1] & 0xe0) == 0xe0);
            EXPECT_TRUE(isMp3) << "narration of page " << page.number << " word " << word;
        }
    }
    EXPECT_TRUE(pictureOnlyPage);
    EXPECT_EQ(words->count(), total) << "no text for words that are not printed";
    auto narrations =
        std::distance(std::filesystem::directory_iterator(kResources + "/" + book.bookFolder + "/epc"),
                      std::filesystem::directory_iterator());
    // One clip per printed word, and one recording per page that has words.
    long pagesWithWords = 0;
    for (const PageSource& page : book.pages)
        if (!page.words.empty()) {
            ++pagesWithWords;
            EXPECT_TRUE(std::filesystem::exists(kResources + "/" + book.bookFolder + "/" +
                                                book::narrationFile(book::pageRecordingName(page.number))))
                << "page " << page.number << " has no recording to read along";
        }
    EXPECT_EQ(narrations, static_cast<long>(total) + pagesWithWords)
        << "no narration for words that are not printed";
}

TEST_F(SampleBookTest, EveryLayoutReadsWithTheButtonsTheScreensLookFor) {
    UIWidget* home = readLayout("mainpage/mainpage_1.json");
    ASSERT_NE(dynamic_cast<gui::Layout*>(home), nullptr);
    for (const char* name : {"bngoon", "bnwordlean", "bnselect", "bnreturn"})
        EXPECT_NE(dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(home, name)), nullptr) << name;
    UIWidget* panel = readLayout("3age/pageset.json");
    ASSERT_NE(dynamic_cast<gui::Layout*>(panel), nullptr);
    for (const char* name : {"bnmain", "bnpres", "bnaotopage", "bnaoto", "bnok", "bncancel"}) {
        auto* button = dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(panel, name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_STRNE(button->getTitleText(), "") << name;
    }

    int olderPages = 0, sheetPages = 0;
    for (const PageSource& page : book.pages) {
        Json::Value file = readJson(pageFile(page.number));
        olderPages += file["version"].asString() < "1";
        sheetPages += !file["textures"].empty();

        UIWidget* root = readLayout(pageFile(page.number));
        ASSERT_NE(dynamic_cast<gui::Layout*>(root), nullptr) << pageFile(page.number);
        // Touches on empty parts of the page must reach the page (swipes, hints).
        EXPECT_FALSE(root->isTouchEnabled());
        for (int word = 1; word <= static_cast<int>(page.words.size()) + 1; ++word) {
            auto* hotspot =
                dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(root, hotspotName(page.number, word)));
            if (word > static_cast<int>(page.words.size())) {
                EXPECT_EQ(hotspot, nullptr) << "a hotspot past the last word of page " << page.number;
                continue;
            }
            ASSERT_NE(hotspot, nullptr) << hotspotName(page.number, word);
            EXPECT_TRUE(hotspot->isTouchEnabled());
            if (!file["textures"].empty()) {
                EXPECT_NE(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(
                              hotspot->getPressedFile().c_str()),
                          nullptr);
            }
        }
    }
    EXPECT_GE(olderPages, 1);
    EXPECT_GE(sheetPages, 1);
}

// Ink of the printed page, found in the committed picture: each connected
// patch of ink lies wholly inside one printed word's rectangle, or
// (punctuation) outside all; each hotspot is that rectangle, widened and
// centred on it where the bubble's text needs it, and runs into no other.
TEST_F(SampleBookTest, HotspotsCoverTheirPrintedWords) {
    const CCRect box = BookWriter::textBox();
    CCDictionary* config =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/StringConfig.xml").c_str());
    const int textSize = std::stoi(text(config, "textsize"));
    for (const PageSource& page : book.pages) {
        SCOPED_TRACE("page " + std::to_string(page.number));
        // The engine measures the words where the committed layout has them.
        std::unique_ptr<WordLayout> layout = BookWriter::layOut(book, page);
        ASSERT_TRUE(layout->ok()) << layout->error();
        std::vector<CCRect> hotspots, rects;
        const Json::Value file = readJson(pageFile(page.number));
        for (const Json::Value& child : file["widgetTree"]["children"]) {
            const Json::Value& o = child["options"];
            if (child["classname"] != "Button") continue;
            float w = o["width"].asFloat(), h = o["height"].asFloat();
            hotspots.emplace_back(o["x"].asFloat() - w / 2, o["y"].asFloat() - h / 2, w, h);
        }
        ASSERT_EQ(hotspots.size(), layout->words().size());
        for (std::size_t i = 0; i < hotspots.size(); ++i) {
            const WordBox& word = layout->words()[i];
            rects.push_back(word.rect);
            layout->widenHotspot(i, BookWriter::hotspotWidthFor(word.text, textSize));
            EXPECT_TRUE(hotspots[i].equals(word.hotspot)) << "word " << i + 1 << " was measured elsewhere";
            EXPECT_NEAR(hotspots[i].getMidX(), word.rect.getMidX(), 0.5f) << "word " << i + 1;
            EXPECT_LE(hotspots[i].getMinX(), word.rect.getMinX()) << "word " << i + 1;
            EXPECT_GE(hotspots[i].getMaxX(), word.rect.getMaxX()) << "word " << i + 1;
            EXPECT_GE(hotspots[i].getMinX(), box.getMinX()) << "word " << i + 1;
            EXPECT_LE(hotspots[i].getMaxX(), box.getMaxX()) << "word " << i + 1;
            for (std::size_t j = 0; j < i; ++j) {
                const CCRect &a = hotspots[i], &b = hotspots[j];
                bool overlap = std::min(a.getMaxX(), b.getMaxX()) > std::max(a.getMinX(), b.getMinX()) &&
                               std::min(a.getMaxY(), b.getMaxY()) > std::max(a.getMinY(), b.getMinY());
                EXPECT_FALSE(overlap) << "the hotspots of words " << j + 1 << " and " << i + 1 << " overlap";
            }
        }

        std::string picture = kResources + "/" + book.bookFolder + "/" + book.subName + "/page_" +
                              std::to_string(page.number) + ".png";
        SDL_Surface* loaded = IMG_Load(picture.c_str());
        ASSERT_NE(loaded, nullptr) << picture;
        SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(loaded);
        ASSERT_EQ(image->h, 960);
        // The lines of text, and a margin around them where no ink may be;
        // the picture's lower edge lies above.
        float highest = box.getMaxY() - 30, lowest = box.getMinY();
        if (!rects.empty()) {
            highest = lowest = rects[0].getMidY();
            for (const CCRect& r : rects)
                highest = std::max(highest, r.getMaxY() + 8), lowest = std::min(lowest, r.getMinY() - 8);
        }
        const int top = 960 - static_cast<int>(highest), bottom = 960 - static_cast<int>(lowest);
        auto ink = [&](int x, int y) {
            Uint32 p = static_cast<Uint32*>(image->pixels)[y * image->pitch / 4 + x];
            int luma = (((p >> 16) & 0xff) * 3 + ((p >> 8) & 0xff) * 6 + (p & 0xff)) / 10;
            return luma < 140;
        };
        auto rectOf = [&](int x, int y) {
            for (std::size_t i = 0; i < rects.size(); ++i)
                if (rects[i].containsPoint(CCPoint(x + 0.5f, 959.5f - y))) return static_cast<int>(i);
            return -1;
        };
        std::vector<char> seen(static_cast<std::size_t>(image->w) * image->h, 0);
        std::vector<int> patchesIn(rects.size(), 0);
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < image->w; ++x) {
                if (seen[y * image->w + x] || !ink(x, y)) continue;
                // One patch, by flood fill; where its pixels lie decides.
                std::vector<std::pair<int, int>> stack{{x, y}};
                seen[y * image->w + x] = 1;
                std::set<int> owners;
                int minX = x, maxX = x, minY = y, maxY = y;
                while (!stack.empty()) {
                    auto [px, py] = stack.back();
                    stack.pop_back();
                    owners.insert(rectOf(px, py));
                    minX = std::min(minX, px), maxX = std::max(maxX, px);
                    minY = std::min(minY, py), maxY = std::max(maxY, py);
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            int nx = px + dx, ny = py + dy;
                            if (nx < 0 || nx >= image->w || ny < top || ny >= bottom) continue;
                            if (seen[ny * image->w + nx] || !ink(nx, ny)) continue;
                            seen[ny * image->w + nx] = 1;
                            stack.emplace_back(nx, ny);
                        }
                }
                ASSERT_EQ(owners.size(), 1u)
                    << "ink at (" << minX << ", " << minY << ") crosses a hotspot's edge";
                if (*owners.begin() >= 0) {
                    ++patchesIn[*owners.begin()];
                } else {
                    EXPECT_LT(maxX - minX, book.fontSize * 0.25f)
                        << "a letter outside every hotspot at x " << minX;
                    EXPECT_LT(maxY - minY, book.fontSize) << "a letter outside every hotspot at x " << minX;
                }
            }
        }
        for (std::size_t i = 0; i < rects.size(); ++i)
            EXPECT_GE(patchesIn[i], static_cast<int>(page.words[i].text.size()) / 2) << "word " << i + 1;
        SDL_FreeSurface(image);
    }
}

// What a child sees: the home page, and page 1 with a word highlighted.
TEST_F(SampleBookTest, HomeAndPageDrawTheirPicturesAndHighlights) {
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(readLayout("mainpage/mainpage_1.json"));
    view->show(layer);
    view->save("sample_book_home");
    EXPECT_TRUE(isColour(view->at(120, 290), 0xf0, 0x82, 0x3c, 12)) << "the word-learning button";
    EXPECT_TRUE(isColour(view->at(10, 950), 0x15, 0x20, 0x4a, 16)) << "the night sky of the title";

    layer = gui::UILayer::create();
    UIWidget* page = readLayout(pageFile(1));
    layer->addWidget(page);
    UIWidget* pip = UIToolkit::findWidgetByName(page, hotspotName(1, 3));
    ASSERT_NE(pip, nullptr);
    CCPoint at = pip->getPosition();
    float left = at.x - pip->getSize().width / 2;
    for (int word = 1; word <= static_cast<int>(book.pages[0].words.size()); ++word)
        UIToolkit::findWidgetByName(page, hotspotName(1, word))->setVisible(false); // as the page hides them
    CCScene* scene = CCScene::create();
    scene->addChild(layer);
    CCDirector::sharedDirector()->replaceScene(scene);
    view->step();
    Pixel paper = view->at(left + 4, at.y);
    pip->setVisible(true);
    pip->setFocused(true); // the look of a word being read
    view->step();
    view->save("sample_book_page1_word");
    EXPECT_TRUE(isColour(view->at(left + 4, at.y), 255, 216, 77, 12)) << "highlight instead of " << paper;
    EXPECT_TRUE(isColour(paper, 255, 246, 224, 16)) << "the paper under the sentence";
}

// The reader stretches the design over a window of another shape: the
// pictures are drawn for it, so a circle of the art is round on its screen.
TEST_F(SampleBookTest, CirclesOfTheArtAreRoundOnTheReadersScreen) {
    ASSERT_TRUE(openReaderWindow(1080));
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(readLayout("mainpage/mainpage_1.json"));
    view->show(layer);
    ASSERT_TRUE(view->savedAsShown("sample_book_home_reader_window"));
    // The moon's face and rim, not the dimmer glow around it.
    double moon = patchShape(CCPoint(420, 960 - 175), [](std::uint32_t p) {
        return ((p >> 16) & 0xff) >= 200 && ((p >> 8) & 0xff) >= 170 && (p & 0xff) >= 90;
    });
    EXPECT_NEAR(moon, 1.0, 0.02) << "the home page's moon, width over height";

    layer = gui::UILayer::create();
    layer->addWidget(readLayout(pageFile(1)));
    CCScene* scene = CCScene::create();
    scene->addChild(layer);
    CCDirector::sharedDirector()->replaceScene(scene);
    view->step();
    ASSERT_TRUE(view->savedAsShown("sample_book_page1_reader_window"));
    // The sun's face and rim, without its rays and the blue sky.
    double sun = patchShape(CCPoint(530, 960 - 110), [](std::uint32_t p) {
        return ((p >> 16) & 0xff) >= 200 && ((p >> 8) & 0xff) >= 150 && (p & 0xff) <= 140;
    });
    EXPECT_NEAR(sun, 1.0, 0.02) << "page 1's sun, width over height";
    std::printf("width over height on the reader's screen: moon %.3f, sun %.3f\n", moon, sun);
}

// The reader shows a word's text as "-word-" in a bubble that wraps it to the
// hotspot's width: no word may break onto two lines, in windows of any size.
TEST_F(SampleBookTest, EveryWordsBubbleTextStaysOnOneLine) {
    CCDictionary* config =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/StringConfig.xml").c_str());
    const float textSize = std::stof(text(config, "textsize"));
    for (int desktop : {720, 900, 1080, 1440, 2160}) {
        ASSERT_TRUE(openReaderWindow(desktop));
        for (const PageSource& page : book.pages) {
            const Json::Value file = readJson(pageFile(page.number));
            std::size_t word = 0;
            for (const Json::Value& child : file["widgetTree"]["children"]) {
                if (child["classname"] != "Button" || word >= page.words.size()) continue;
                std::string shown = book::bubbleText(page.words[word++].text);
                auto* label = CCLabelTTF::create(shown.c_str(), book::kBubbleFont, textSize);
                label->setDimensions(CCSize(child["options"]["width"].asFloat(), 0));
                EXPECT_EQ(label->getLines().size(), 1u)
                    << shown << " on page " << page.number << ", desktop " << desktop << " high";
            }
        }
    }
}

// Every narration: 44.1 kHz, 64 kbit/s; its voice within 30 ms of the start
// as decoded; no clipping; all of one loudness within a decibel.
TEST_F(SampleBookTest, NarrationIsEvenlyLoudStartsAtOnceAndIsEncodedAsShipped) {
    setenv("SDL_AUDIODRIVER", "dummy", 1); // decoding only: no sound card needed
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 1, 2048), 0) << Mix_GetError();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    ASSERT_EQ(rate, 44100);
    ASSERT_EQ(channels, 1);
    ASSERT_EQ(format, AUDIO_S16SYS);
    double quietest = 0, loudest = -100;
    std::string quietestWord, loudestWord;
    for (const PageSource& page : book.pages) {
        for (std::size_t i = 0; i < page.words.size(); ++i) {
            const std::string& word = page.words[i].text;
            SCOPED_TRACE("page " + std::to_string(page.number) + " \"" + word + "\"");
            std::string path = kResources + "/" + book.bookFolder + "/" +
                               narrationFile(page.number, static_cast<int>(i) + 1);
            std::ifstream in(path, std::ios::binary);
            std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_TRUE(encodedAs(data, 44100, 64));

            std::vector<float> samples = decodeNarration(path);
            // Decoded at all (an "a" cut from a sentence lasts 30 ms).
            ASSERT_GE(samples.size(), 1323u) << Mix_GetError();
            float peak = 0;
            for (float s : samples)
                peak = std::max(peak, std::fabs(s));
            EXPECT_LT(peak, 0.99f) << "clipped";
            auto onset = std::find_if(samples.begin(), samples.end(),
                                      [&](float s) { return std::fabs(s) >= peak / 100; }) -
                         samples.begin();
            // The encoder's delay is 25 ms; a word said straight after another
            // starts where the aligner's 10 ms frames put it.
            EXPECT_LE(onset / 44100.0, 0.05) << "the voice starts late";
            double level = loudness(samples, 44100);
            if (level < quietest || quietestWord.empty()) quietest = level, quietestWord = word;
            if (level > loudest) loudest = level, loudestWord = word;
        }
    }
    EXPECT_LE(loudest - quietest, 1.0) << "\"" << loudestWord << "\" at " << loudest << " LUFS, \""
                                       << quietestWord << "\" at " << quietest << " LUFS";
    std::printf("narration loudness from %.2f to %.2f LUFS\n", quietest, loudest);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace
