#pragma once
// The shelf screen: the covers of the shelf's books with their titles, three
// to a row, in the toolkit's scroll container. A touch lifted on a cover
// (not a drag) opens that book's home page; the keyboard's ring goes over
// the covers in order (Tab, Shift+Tab, the arrow keys) and Return or Space
// opens the one it is on.
//
// Covers come from the picture cache. Those not yet made are drawn by the
// picture maker's child processes while the shelf shows a placeholder and
// a count; a book that cannot be drawn keeps a plain cover with its name.
// Only the rows near the view hold their pictures and titles, so a shelf
// of hundreds of books costs about as much as a screenful.
#include "engine/nodes/CCLayer.h"

#include <string>
#include <vector>

namespace engine {
class CCLabelTTF;
class CCLayerColor;
class CCNode;
} // namespace engine
namespace gui {
class Layout;
class UILayer;
class UIScrollView;
class UIWidget;
} // namespace gui

namespace book {

class FocusRing;

class ShelfLayer : public engine::CCLayer {
public:
    // Builds the screen for shelf::books(), scrolled as shelf::place() says.
    ShelfLayer();
    ~ShelfLayer() override;

    static constexpr int kColumns = 3;
    static constexpr float kRowHeight = 320;
    static constexpr float kTopMargin = 24;
    static constexpr float kCoverWidth = 160;
    static constexpr float kCoverHeight = 240;

    // What a cover shows.
    enum class CoverLook { Waiting, Picture, Plain };

    int coverCount() const { return static_cast<int>(m_covers.size()); }
    // Where cover `index` lies on the screen (world space), whole.
    engine::CCRect coverBounds(int index) const;
    // A cover not yet built (far from the view) answers Waiting until it is.
    CoverLook coverLook(int index) const;
    // Whether the cover's picture and title are built (only near the view).
    bool coverBuilt(int index) const;
    const std::string& coverTitle(int index) const;
    // Whether the cover shows itself held (darkened) by a finger.
    bool coverPressed(int index) const;
    gui::UIScrollView* getScrollView() const { return m_scroll; }
    FocusRing* getFocusRing() const { return m_focusRing; }
    // The progress line while covers are being made ("" when none are).
    std::string progressText() const;

    // Scrolls the covers by `offset` points (positive shows later rows).
    void scrollCovers(float offset);
    // How far the covers are scrolled, in points from the top.
    float scrolled() const;

    void update(float elapsed) override;
    // While covers are being made: update, on a timer.
    void pollPictures(float elapsed);
    bool keyPressed(int key) override;
    // A cover's handler: opens the book when the touch is lifted on it.
    void onCoverTouched(engine::CCObject* sender, int eventType);

private:
    struct Cover {
        gui::Layout* widget = nullptr;     // owned by the scroll container
        engine::CCNode* content = nullptr; // picture and title; a child of the widget's renderer
        std::string book, key, title;
        CoverLook look = CoverLook::Waiting;
    };

    void buildCovers();
    // Looks in the cache for the built covers still waiting.
    void refreshLooks();
    // Whether the cache now settles a waiting cover's look (set when it does).
    bool lookInCache(Cover& cover);
    // Builds the content of rows near the view and drops that of far ones.
    void fillNearView();
    // The count of covers made while some are being made; waiting covers
    // that the maker gave up on turn plain.
    void showProgress();
    void buildContent(Cover& cover);
    void dropContent(Cover& cover);
    void showPressed(Cover& cover, bool pressed);
    bool moveAmongCovers(int key);
    void scrollToShow(int index);
    void open(int index);
    void rememberPlace();

    gui::UILayer* m_uiLayer = nullptr;             // a child
    gui::UIScrollView* m_scroll = nullptr;         // in m_uiLayer's tree
    engine::CCLayerColor* m_progressBar = nullptr; // a child, shown while covers are made
    engine::CCLabelTTF* m_progress = nullptr;      // on the bar
    FocusRing* m_focusRing = nullptr;              // a child
    std::vector<Cover> m_covers;
    unsigned m_seenFinished = 0;
    int m_toMake = 0;      // covers that were missing when the shelf opened
    float m_filledAt = -1; // the scroll at the last fill
    bool m_opening = false;
};

} // namespace book
