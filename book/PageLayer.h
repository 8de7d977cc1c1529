#pragma once
// One page of the book on screen: the page's widget tree read from its
// layout file with a hidden hotspot button per word, the five menu items
// (previous, play/pause, next, home, settings), the speech bubble and the
// hint label.
//
// The two page-layer classes, TestLayer1 and TestLayer2, share this
// implementation; a page turn always builds the page in the class other than
// the one on screen. They differ only in their twin and their log lines.
//
// Index (sources):
//   PageLayer.cpp ....... construction (the page build), enter and exit
//   WordReading.cpp ..... onWordTouched, selectWord, showAndPlay, bubbleWatch
//   PageNavigation.cpp .. page turns, swipe, hint, play/pause, auto-play,
//                         home, settings, page keys
//   ReadAlong.cpp ....... auto-play from the page's own recording, each word
//                         lit as the music's position reaches it
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCLayer.h"

#include <memory>
#include <string>

namespace engine {
class CCMenu;
class CCMenuItemFont;
class CCMenuItemImage;
class CCSet;
} // namespace engine
namespace gui {
class Layout;
class UILayer;
class UIWidget;
} // namespace gui

namespace book {

class FocusRing;
struct ReadAlongEntry;

class PageLayer : public engine::CCLayer {
public:
    // --- enter and exit (log lines name the class's scene number)
    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    void onExitTransitionDidStart() override;
    void onExit() override;

    // --- menu actions (PageNavigation.cpp)
    void goPreviousPage(engine::CCObject* sender);
    void goNextPage(engine::CCObject* sender);
    void togglePlay(engine::CCObject* sender);
    void goHome(engine::CCObject* sender);
    void openSettings(engine::CCObject* sender);
    // Builds the twin page at currentPage and turns to it.
    void switchPageScene();
    // A horizontal travel from `fromX` to `toX` of the swipe distance or more
    // turns the page (within the book); answers whether it turned.
    bool turnBySwipe(float fromX, float toX);
    // Whether the page is alone on screen and not leaving: a page that has
    // started to turn or is part of a transition takes no keys and no words.
    bool takesInput() const;

    // --- touches that no menu item or widget claimed: swipe and hint
    void ccTouchesBegan(engine::CCSet* touches, engine::CCEvent* event) override;
    void ccTouchesMoved(engine::CCSet* touches, engine::CCEvent* event) override;

    // --- timers
    void autoPlayStep(float elapsed);
    void hideHint(float elapsed);
    void bubbleWatch(float elapsed); // WordReading.cpp

    // --- read-along (ReadAlong.cpp)
    // Every frame while the page's recording plays: lights the word that the
    // music's position has reached; notes the recording's end.
    void readAlongStep(float elapsed);
    // The page's sound read-along entry, or none (the page reads word by word).
    const ReadAlongEntry* getReadAlong() const { return m_readAlong.get(); }

    // --- keyboard: a key press on the page (an engine key code); true when used
    bool onPageKey(int key);
    bool keyPressed(int key) override { return onPageKey(key); }

    // --- word reading (WordReading.cpp)
    // Touch-event handler of every word hotspot; acts on every phase.
    void onWordTouched(engine::CCObject* sender, int eventType);
    // Highlights `hotspot` with an elastic slide from the previous highlight
    // (or from its parent's origin); answers the hotspot's own position.
    static engine::CCPoint selectWord(gui::UIWidget* hotspot);
    // The same with a short straight move, which ends on the word in time
    // with a voice that reads on.
    static engine::CCPoint selectWordQuickly(gui::UIWidget* hotspot);
    // Shows the text of the word with action tag `tag` beside `hotspot`
    // (placed at `position`) and plays its narration.
    static void showAndPlay(gui::UIWidget* hotspot, const engine::CCPoint& position, int tag);
    // Only the text, in the bubble.
    static void showWordText(gui::UIWidget* hotspot, const engine::CCPoint& position, int tag);
    // Plays the narration of word `tag` of the page on screen.
    static void playNarration(int tag);

    // --- parts of the page, for the navigation code and tests
    gui::UILayer* getUILayer() const { return uiLayer; }
    gui::Layout* getPageLayout() const { return pageLayout; }
    engine::CCMenu* getMenu() const { return m_menu; }
    engine::CCMenuItemImage* getPreviousItem() const { return m_previousItem; }
    engine::CCMenuItemImage* getPlayItem() const { return m_playItem; }
    engine::CCMenuItemImage* getNextItem() const { return m_nextItem; }
    engine::CCMenuItemFont* getHomeItem() const { return m_homeItem; }
    engine::CCMenuItemFont* getSettingsItem() const { return m_settingsItem; }
    int getSceneNumber() const { return m_sceneNumber; }
    FocusRing* getFocusRing() const { return m_focusRing; }
    int getTapCount() const { return tapCount; }
    float getTapRadius() const { return tapRadius; }
    const engine::CCPoint& getLastTouch() const { return lastTouch; }

protected:
    // `sceneNumber` is 1 for TestLayer1 and 2 for TestLayer2; the subclass's
    // constructor then calls buildPage.
    explicit PageLayer(int sceneNumber);
    // Builds the page currentPage.
    void buildPage();
    // A new page layer of the other class, holding one reference for the caller.
    virtual PageLayer* createTwin() const = 0;

    // Auto-play's tick while something plays or a pause is due, and after a page start or repeat.
    static constexpr float kAutoPlayWait = 0.5f;
    static constexpr float kAutoPlayStart = 0.2f;

    // Fields shared with the navigation code.
    gui::UILayer* uiLayer = nullptr; // child of this layer
    int tapCount = 0;
    float tapRadius = 0;
    engine::CCPoint lastTouch;
    gui::Layout* pageLayout = nullptr; // owned by the widget tree; none without a layout

private:
    void buildHintLabel(const std::string& hintText);
    void buildMenu(const std::string& homeText, const std::string& settingsText);
    void readPageLayout();
    void buildBubble();
    void bindHotspots();
    void startAutoPlayIfOn();
    // The keyboard's ring over the words in reading order, then the visible items.
    void buildFocusRing();
    // Seconds that auto-play still waits before it turns a page without
    // words, which would otherwise flip away before a child sees it.
    double wordlessPageWaitLeft() const;
    // Auto-play has read the last word of the last page: it ends as a pause does.
    void endAutoPlayAtBookEnd();
    // Auto-play's end of a page read: again, turn, or wait, by the reading mode.
    void autoPlayPageRead();

    // --- read-along (ReadAlong.cpp)
    // Reads the page's entry of the book's read-along table; a faulty entry is
    // logged and the page reads word by word.
    void loadReadAlong();
    // Auto-play's tick on a page that reads along, once nothing plays and no
    // pause is due: the rest after the page, or the recording from the next word.
    void autoPlayReadAlong();
    // Plays the recording from word nextWordIndex on.
    void startReadAlong();
    // Ends the recording's part in auto-play (`why` for the log). The word that
    // was lit is read again when auto-play goes on; `silence` stops the music too.
    void stopReadAlong(const char* why, bool silence);
    // Lights word `index` (from the recording at `position` seconds).
    void lightReadAlongWord(int index, double position);

    std::shared_ptr<const ReadAlongEntry> m_readAlong;
    bool m_readingAlong = false;     // the recording plays under auto-play
    int m_litWord = 0;               // the word read-along lit last, 0 before the first
    double m_readEndedAt = -1;       // clock time the page was last read to its end; -1 before
    double m_recordingFrom = 0;      // where the recording was started, in seconds
    double m_recordingStartedAt = 0; // and when, on the clock
    bool m_positionUnknownLogged = false;

    int m_sceneNumber;
    double m_shownSince = -1;         // clock time the page was first wholly on screen; -1 before
    engine::CCMenu* m_menu = nullptr; // children of this layer
    engine::CCMenuItemImage* m_previousItem = nullptr;
    engine::CCMenuItemImage* m_playItem = nullptr;
    engine::CCMenuItemImage* m_nextItem = nullptr;
    engine::CCMenuItemFont* m_homeItem = nullptr;
    engine::CCMenuItemFont* m_settingsItem = nullptr;
    FocusRing* m_focusRing = nullptr; // a child, over everything
};

} // namespace book
