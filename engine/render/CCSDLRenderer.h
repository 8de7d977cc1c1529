#pragma once
// The renderer over SDL_Renderer that nodes draw with.
//
// Everything is given in design points with the node's world transform and
// lands on pixels through a CCScreenMapping (the view's, or a render target's
// own). Colours modulate textures; alpha blends (SDL_BLENDMODE_BLEND, straight
// alpha).
//
// Two ways to put a textured quad on pixels, the seam between renderers:
// - a mesh through SDL_RenderGeometry, which serves any transform; consecutive
//   quads and meshes of one texture go out as one call;
// - a plain copy (SDL_RenderCopyF / SDL_RenderCopyExF) when the quad's pixel
//   image is a rectangle, possibly rotated or flipped: the same pixels, and
//   far faster on SDL's software renderer.
// QuadPath::Auto takes the copy on the software renderer and the mesh
// otherwise (the accelerated renderers draw a batched mesh cheapest).
//
// On the software renderer a mesh of an opaque texture drawn to the screen
// does not go to SDL: its triangles are filled straight into the screen's
// pixels (ccTriangleFill) once SDL has drawn what was queued before them.
// SDL's generic triangle fill is several times slower, and where a page
// turn's bend covers much of the page it alone would cost more than a frame.
//
// Change detection: with recording on, each frame's draw calls (textures by
// content, not address; transforms, colours and clips bit for bit) are
// written down. A probe visits the scene with drawing off and compares what
// it wrote with the last frame shown; equal means the frame would come out
// the same, pixel for pixel, and need not be drawn.
//
// Index: lifetime | mapping | frame | change detection | drawing | clipping | render targets | stats
#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/base/ccTypes.h"
#include "engine/render/CCRenderer.h"
#include "engine/render/CCScreenMapping.h"
#include "engine/render/CCVertex.h"

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace engine {

class CCTexture2D;
struct ccPixels32;

class CCSDLRenderer : public CCRenderer {
public:
    // --- lifetime
    // Draws with `renderer`, which stays the caller's to destroy (after this).
    explicit CCSDLRenderer(SDL_Renderer* renderer);
    ~CCSDLRenderer() override;
    CCSDLRenderer(const CCSDLRenderer&) = delete;
    CCSDLRenderer& operator=(const CCSDLRenderer&) = delete;

    // The director's renderer when it is one of these, else null.
    static CCSDLRenderer* current();
    SDL_Renderer* sdlRenderer() const { return m_renderer; }
    bool isSoftware() const { return m_software; }
    // The format opaque pictures are best kept in: the screen's own when it
    // is ARGB8888 without the alpha (an X11 window's XRGB8888), so that the
    // software renderer copies and scales them without converting each
    // pixel; else ARGB8888. Both lay out red, green and blue alike.
    Uint32 opaqueTextureFormat() const { return m_opaqueFormat; }
    // Side of the largest texture this renderer makes: its own limit, and
    // never above kTextureSizeCap (software renderers report none, but an
    // image beyond it costs hundreds of megabytes).
    static constexpr int kTextureSizeCap = 8192;
    int maxTextureSize() const { return m_maxTextureSize; }
    // The current renderer's, or the cap when there is none yet.
    static int largestTexture();
    // Tells SDL textures made for this renderer from those of a closed one.
    unsigned int generation() const { return m_generation; }
    static bool isGenerationAlive(unsigned int generation);

    enum class QuadPath { Auto, Geometry };
    void setQuadPath(QuadPath path) { m_quadPath = path; }
    QuadPath getQuadPath() const { return m_quadPath; }
    // The pixels that the software renderer draws the screen into (its
    // surface, or the window's); without it, or off, meshes go to SDL.
    void setScreenSurface(std::function<SDL_Surface*()> surface) { m_screenSurface = std::move(surface); }
    // Upright copies of pictures onto the screen by this renderer itself
    // (see copyOwn); off, SDL copies them.
    void setOwnCopies(bool on) { m_ownCopies = on; }
    void setOwnTriangleFill(bool on) { m_ownTriangleFill = on; }
    bool isOwnTriangleFill() const { return m_ownTriangleFill; }
    // Linear filtering when scaled; on for accelerated renderers.
    bool isSmoothTextures() const { return m_smooth; }

    // --- mapping
    void setScreenMapping(const CCScreenMapping& mapping);
    const CCScreenMapping& getScreenMapping() const { return m_screen; }
    // The mapping in force: the screen's or the current render target's.
    const CCScreenMapping& currentMapping() const { return *m_mapping; }

    // --- frame
    // What endFrame calls to show the frame; SDL_RenderPresent when unset.
    void setPresenter(std::function<void()> presenter) { m_presenter = std::move(presenter); }
    void beginFrame() override;
    void endFrame() override;
    // Clears the current target (the whole of it, clip or not).
    void clear(const ccColor4B& color);
    // Sends what is batched to SDL.
    void flush();

    // --- change detection (see above)
    void setRecording(bool on) override;
    bool isRecording() const { return m_recording; }
    void beginProbe() override;
    bool endProbe() override;
    bool lastFrameChanged() const override { return m_lastFrameChanged; }

    // --- drawing
    // A quad of `quadSize` points from the node's origin, showing the
    // texture's `texRectInPixels`, tinted by `color`.
    void drawTexturedQuad(CCTexture2D* texture, const CCRect& texRectInPixels, const CCSize& quadSize,
                          const CCAffineTransform& world, const ccColor4B& color, bool flipX = false,
                          bool flipY = false);
    // Corner colours in the order lower left, lower right, upper left, upper right.
    void drawColoredQuad(const CCSize& size, const CCAffineTransform& world, const ccColor4B colors[4]);
    void drawColoredQuad(const CCSize& size, const CCAffineTransform& world, const ccColor4B& color);
    // A triangle mesh; `indices` may be null for a plain triangle list.
    // Positions go through `transform` (identity: they are design points).
    // Consecutive meshes and quads of one texture go out as one call.
    void drawTriangles(CCTexture2D* texture, const CCVertex* vertices, int vertexCount, const int* indices,
                       int indexCount, const CCAffineTransform& transform = CCAffineTransformIdentity);

    // --- clipping: rectangles in design points (world space), each one
    // intersected with those below it; one stack per render target.
    void pushClipRect(const CCRect& worldRect);
    void popClipRect();
    int getClipDepth() const { return static_cast<int>(m_target.clips.size()); }
    // The clip in force, in pixels of the current target; false when none.
    bool getClipPixels(SDL_Rect& out) const;

    // --- render targets: drawing goes into `target` (made with
    // CCTexture2D::createRenderTarget) until endTarget; targets nest. Inside,
    // (0, 0) is the target's lower-left corner and its content size in points
    // covers it. False (and logged) when SDL cannot draw into it.
    bool beginTarget(CCTexture2D* target);
    void endTarget();
    int getTargetDepth() const { return static_cast<int>(m_savedTargets.size()); }
    // Pixels of the current target (the screen outside any target), each
    // 0xAARRGGBB (SDL_PIXELFORMAT_ARGB8888), rows top to bottom.
    bool readPixels(std::vector<std::uint32_t>& argb, int& width, int& height);

    // --- stats, for tests and benchmarks
    struct Stats {
        int drawCalls = 0;      // SDL draw calls
        int quads = 0;          // quads asked for
        int copies = 0;         // quads that went out as plain copies
        int flushes = 0;        // batches of meshes sent as one call
        int textureChanges = 0; // a draw with another texture than the last, or a new tint
        int ownFills = 0;       // meshes filled by this renderer itself, not by SDL
        int ownCopies = 0;      // copies made by this renderer itself, not by SDL
    };
    const Stats& getStats() const { return m_stats; }
    void resetStats() { m_stats = Stats(); }

private:
    struct TargetState {
        CCRef<CCTexture2D> texture; // held while drawn into
        CCScreenMapping mapping;
        std::vector<SDL_Rect> clips;
    };

    bool usePlainCopies() const { return m_quadPath == QuadPath::Auto && m_software; }
    bool tryPlainCopy(CCTexture2D* texture, SDL_Texture* sdlTexture, const CCRect& texRect,
                      const CCSize& size, const CCAffineTransform& pixel, const ccColor4B& color, bool flipX,
                      bool flipY);
    // Copies an untinted picture upright onto the screen's pixels; false
    // when it cannot, and SDL copies it.
    bool copyOwn(CCTexture2D* texture, SDL_Texture* sdlTexture, const SDL_Rect& src, const SDL_FRect& dst);
    // Fills the mesh into the screen's pixels; false when it cannot (see above).
    bool fillTriangles(CCTexture2D* texture, const CCVertex* vertices, const int* indices, int count,
                       const CCAffineTransform& pixel);
    // The texture's pixels on the CPU: an image's own, a target's read back.
    bool texelsOf(CCTexture2D* texture, ccPixels32& out);
    void queue(SDL_Texture* texture, const SDL_Vertex* vertices, int vertexCount, const int* indices,
               int indexCount);
    void applyClip();
    // Counts an SDL draw call with `texture` (null: none).
    void countDraw(SDL_Texture* texture);
    void setModulation(CCTexture2D* texture, const ccColor4B& color);
    // The world transform followed by the current mapping: node points to pixels.
    CCAffineTransform toPixels(const CCAffineTransform& world) const;
    // Writes a draw call's arguments down (only while recording).
    void note(std::uint32_t word) { m_record.push_back(word); }
    void note(char call) { m_record.push_back(static_cast<std::uint32_t>(call)); }
    void note(float value);
    void note(const ccColor4B& color);
    void note(const CCAffineTransform& t);
    void note(const CCRect& rect);
    void note(const CCTexture2D* texture);

    SDL_Renderer* m_renderer;
    unsigned int m_generation;
    bool m_software;
    bool m_smooth;
    Uint32 m_opaqueFormat = SDL_PIXELFORMAT_ARGB8888;
    int m_maxTextureSize = kTextureSizeCap;
    QuadPath m_quadPath = QuadPath::Auto;
    ccColor4B m_clearColor{0, 0, 0, 255};
    std::function<void()> m_presenter;
    std::function<SDL_Surface*()> m_screenSurface;
    bool m_ownTriangleFill = true;
    bool m_ownCopies = true;
    // Runs of source pixels that land side by side, for one copy's rows.
    struct CopyRun {
        int from, to, length;
    };
    std::vector<CopyRun> m_copyRuns;
    std::vector<int> m_copyColumns; // the source column of each pixel across
    CCScreenMapping m_screen;
    TargetState m_target; // the one drawn into now (texture null: the screen)
    std::vector<TargetState> m_savedTargets;
    const CCScreenMapping* m_mapping = &m_screen;
    bool m_clipEmpty = false;

    std::vector<SDL_Vertex> m_vertices;
    std::vector<int> m_indices;
    std::vector<SDL_Vertex> m_gridVertices; // scratch for one quad
    std::vector<int> m_gridIndices;
    SDL_Texture* m_batchTexture = nullptr;
    CCRef<CCTexture2D> m_batchOwner;
    Stats m_stats;
    SDL_Texture* m_lastDrawn = nullptr;

    bool m_recording = false;
    bool m_probing = false;    // recording only: nothing reaches SDL
    bool m_shownKnown = false; // m_shown holds the frame on screen
    bool m_lastFrameChanged = true;
    std::vector<std::uint32_t> m_record, m_shown;
};

} // namespace engine
