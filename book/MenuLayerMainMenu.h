#pragma once
// One screen of the page menu: a grid of numbered squares, four to a row and
// as many rows as fit, and the previous-screen and next-screen buttons. The
// squares and buttons are items of one engine menu; they fly in from the
// sides when the screen opens. Which pages a screen shows lives in the book
// state, so the menu reopens where the reader left it.
#include "engine/nodes/CCLayer.h"

#include <string>
#include <vector>

namespace engine {
class CCLabelTTF;
class CCLayerColor;
class CCMenu;
class CCNode;
} // namespace engine

namespace book {

class FocusRing;

class MenuLayerMainMenu : public engine::CCLayer {
public:
    // Builds the whole screen for the book state's current menu position.
    MenuLayerMainMenu();
    ~MenuLayerMainMenu() override;

    // Menu callbacks (the sender is the item).
    void pagePicked(engine::CCObject* sender);
    void nextScreen(engine::CCObject* sender);
    void previousScreen(engine::CCObject* sender);

    // Right and Left move between screens, Escape goes home; answers whether
    // the key meant something here.
    bool keyPressed(int key) override;
    // The keyboard's ring goes over the squares, then the previous, next and
    // home buttons, once the scene's home button is there.
    void onEnterTransitionDidFinish() override;
    FocusRing* getFocusRing() const { return m_focusRing; }

    engine::CCMenu* getPageMenu() const { return m_pageMenu; }
    // Whether the squares show their pages' pictures yet (they come from the
    // picture cache, made by the picture maker the first time).
    bool showsPagePictures() const { return m_picturesShown; }

    // Polls the picture maker until the page pictures are there.
    void pollPictures(float elapsed);

    // Z-order of the first square; a square's z-order minus this is its
    // index on the screen.
    static constexpr int kSquareZOrder = 10000;
    static constexpr int kColumns = 4;
    // The widest a page number may be, as a share of its square.
    static constexpr float kNumberShareOfSquare = 0.85f;

private:
    // The numbered squares of the pages that fit from menuFirstPage, which
    // sets the rest of the menu position; answers them in order.
    std::vector<engine::CCNode*> addSquares();
    // The previous-screen and next-screen buttons, greyed where there is no
    // screen to go to; appended to `items`.
    void addScreenButtons(std::vector<engine::CCNode*>& items);
    // Arrow keys move the ring between squares while it is on one; true when used.
    bool moveAmongSquares(int key);
    // Each item slides in from a side to its place.
    static void flyIn(const std::vector<engine::CCNode*>& items);
    // Each square shows its page's picture above its number, when the cache
    // has the book's page pictures; otherwise asks for them.
    void showPagePictures();
    // A colour layer with a centred label, anchored at its centre.
    static engine::CCLayerColor* makeButton(const std::string& text, float width, float height);

    engine::CCMenu* m_pageMenu = nullptr; // a child
    engine::CCLayerColor* m_previousButton = nullptr;
    engine::CCLayerColor* m_nextButton = nullptr;
    std::vector<engine::CCNode*> m_items; // squares, then previous and next, in that order
    int m_squareCount = 0;
    struct Square {
        engine::CCLayerColor* square; // the item's label
        engine::CCLabelTTF* number;   // the square's child
        int page;
    };
    std::vector<Square> m_squares;
    std::string m_pictureKey; // the open book's key in the picture cache
    bool m_picturesShown = false;
    FocusRing* m_focusRing = nullptr; // a child, over the menu
};

} // namespace book
