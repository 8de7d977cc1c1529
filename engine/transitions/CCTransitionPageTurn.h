#pragma once
// A page turn: the outgoing scene curls away like a book's page, showing the
// incoming scene beneath it; backwards, the incoming scene's page uncurls
// onto the outgoing one. Both scenes are drawn into render targets once (again
// only if the renderer was opened anew meanwhile), so a frame of the turn
// costs two pages' pixels whatever the pages hold; what the scenes do
// meanwhile shows once the turn is over. The first frame shows the outgoing
// page alone, and so does the second, which draws the incoming one into its
// texture: no frame both draws a page and curls one. The curl shows from the
// third frame, at the progress that frame has. The turning page is a bent mesh
// (PageCurlMesh) with a shaded back.
//
// With the director's depth test on, the page's parts are drawn back to
// front, so the raised curl and the page's back always cover what lies below
// them; with it off they are drawn in grid order, as without a depth buffer.
#include "engine/transitions/CCTransitionScene.h"
#include "engine/transitions/PageCurlMesh.h"

#include <memory>

namespace engine {

class CCSDLRenderer;

class CCTransitionPageTurn : public CCTransitionScene {
public:
    static CCTransitionPageTurn* create(float duration, CCScene* scene, bool backwards);
    bool initWithDuration(float duration, CCScene* scene, bool backwards);
    using CCTransitionScene::initWithDuration;

    bool isBackwards() const { return m_backwards; }
    void draw() override;

    // Grid of the turning page.
    static constexpr int kColumns = 16;
    static constexpr int kRows = 24;

private:
    CCTransitionPageTurn() = default;
    // The outgoing scene's snapshot and, with `incoming`, the incoming one's,
    // each taken when missing or made by a closed renderer.
    bool takeSnapshots(CCSDLRenderer& renderer, bool incoming);
    void drawFlatRect(CCSDLRenderer& renderer, CCTexture2D* page, const CCRect& rect);

    bool m_backwards = false;
    std::unique_ptr<PageCurlMesh> m_curl;
    CCRef<CCTexture2D> m_outTexture, m_inTexture;
    unsigned int m_snapshotGeneration = 0; // of the renderer that took them
    unsigned int m_failedGeneration = 0;   // of one that could not
};

} // namespace engine
