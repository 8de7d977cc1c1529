// The sample book in resources/: the home page, word learning and a word
// read, with every file the screens ask for present.
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/TestController.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

#include <filesystem>

using namespace engine;
using namespace booktest;

namespace {

class SampleBookTest : public SampleBookFixture {};

} // namespace

TEST_F(SampleBookTest, WordLearningOpensTheFirstWordPageAndAWordIsRead) {
    book::TestController* home = startHome();
    gui::UIWidget* root = home->getUILayer()->getRootWidget();
    EXPECT_FALSE(gui::UIToolkit::findWidgetByName(root, "bngoon")->isVisible());
    gui::UIWidget* wordLearning = gui::UIToolkit::findWidgetByName(root, "bnwordlean");
    ASSERT_TRUE(wordLearning->isVisible());
    view.save("book_home_page");

    tap(centre(wordLearning));
    view.step();
    book::PageLayer* page = runningPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(book::currentPage, book::wordMin);
    ASSERT_GT(book::lastWordIndex, 0);
    EXPECT_EQ(log.count("book:"), 0) << "a file or key of the sample book is missing";
    EXPECT_EQ(log.count("cannot"), 0);

    gui::UIWidget* word = gui::UIToolkit::findWidgetByName(page->getUILayer()->getRootWidget(),
                                                           book::hotspotName(book::currentPage, 1));
    ASSERT_NE(word, nullptr);
    CCPoint at = centre(word);
    tap(at);
    view.step(20); // the elastic slide is nearly home; the word is still being read
    std::string narration =
        book::narrationPath("testLirra", book::soundName(word->getActionTag(), book::currentPage));
    EXPECT_EQ(log.count("audio: play " + narration), 1);
    EXPECT_EQ(log.count("cannot"), 0) << "the narration does not play";
    ASSERT_NE(book::wordLabel, nullptr);
    std::string text =
        book::readWordText(book::textKey(word->getActionTag(), book::currentPage)).value_or("?");
    EXPECT_EQ(book::wordLabel->getString(), "-" + text + "-");
    EXPECT_TRUE(book::wordBubble->isVisible());
    // The text under the word is drawn in the label's blue.
    CCSize size = word->getContentSize();
    EXPECT_GT(countPixels(CCRect(at.x - size.width / 2, at.y - size.height / 2 - 70, size.width, 70), 0, 0,
                          255, 90),
              20);
    view.save("book_word_selected");
}
