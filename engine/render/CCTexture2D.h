#pragma once
// An image in pixels, ready to draw. A texture keeps its decoded pixels (an
// SDL_Surface) and makes the SDL_Texture on the first draw, for whichever
// renderer draws it: textures can be loaded before the window opens, and
// survive the window being closed and opened again. A render target has no
// pixels of its own; its content is whatever was drawn into it since the
// renderer that made it was opened.
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/base/ccTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Surface;
struct SDL_Texture;

namespace engine {

class CCSDLRenderer;

class CCTexture2D : public CCObject {
public:
    ~CCTexture2D() override;

    // Larger pictures are refused before decoding: a small file can claim a
    // size whose pixels take gigabytes.
    static constexpr int kMaxImageSide = 8192;
    // Decodes the bytes of a PNG or JPEG file; none when they cannot be, with
    // the reason in `error`. Refused before decoding: other formats (a few
    // bytes of GIF, QOI or SVG can claim gigabytes of pixels, and a book needs
    // none of them), a size beyond the limit or unreadable from the header,
    // and a JPEG or PNG cut short.
    // A picture is held once: its decoded pixels go into SDL's texture and
    // are let go; the file's bytes (a fraction of the pixels) stay, to decode
    // it again for a new renderer.
    static CCTexture2D* createWithImageData(const std::string& bytes, std::string* error = nullptr);
    // Takes ownership of the surface (any format; kept as ARGB8888).
    // `knownOpaque` (a picture without alpha) spares the scan for
    // see-through pixels.
    static CCTexture2D* createWithSurface(SDL_Surface* surface, bool knownOpaque = false);
    // A texture to draw into; `contentSize` is its size in points.
    static CCTexture2D* createRenderTarget(int pixelsWide, int pixelsHigh, const CCSize& contentSize);

    int getPixelsWide() const { return m_pixelsWide; }
    int getPixelsHigh() const { return m_pixelsHigh; }
    // Size in points: the pixel size for images, the asked size for targets.
    const CCSize& getContentSize() const { return m_contentSize; }
    // Full path of the image file; empty for other textures.
    const std::string& getPath() const { return m_path; }
    void setPath(const std::string& fullPath) { m_path = fullPath; }
    bool isRenderTarget() const { return m_isTarget; }
    // The decoded pixels, to read (null for render targets, and for a picture
    // decoded from a file once its SDL texture holds them): pixels changed
    // behind the texture's back would keep its content id, and a frame that
    // shows them would count as unchanged and not be drawn.
    const SDL_Surface* getSurface() const { return m_surface; }
    // Bytes this texture counts against the texture cache's budget without
    // being cached (a label's text image); given back when it goes.
    void chargeToBudget(std::uint64_t bytes) { m_budgetBytes = bytes; }

    // The SDL texture for the renderer's current SDL renderer, made on first
    // use. Null when SDL cannot make it (logged once per texture).
    SDL_Texture* sdlTexture(CCSDLRenderer& renderer);
    // Colour and alpha modulation for plain copies; only calls SDL on change,
    // and answers whether it did.
    bool setModulation(const ccColor4B& color);
    // Drawn without blending: for textures with no transparent pixel (a
    // snapshot of a whole scene, a decoded picture without alpha or whose
    // alpha is all 255, found at decode), which the software renderer then
    // copies far faster. Off by default for targets.
    void setOpaque(bool opaque);
    bool isOpaque() const { return m_opaque; }
    // An opaque texture drawn see-through (faded, or with see-through
    // vertices) must blend all the same: set before each draw. Only calls
    // SDL on change.
    void setDrawnTranslucent(bool translucent);
    // Tells this texture's pixels from any other's, and from its own earlier
    // ones: a new number for each texture, each time a target is drawn into
    // and each time a target is made again or the renderer loses its targets'
    // pixels (a new renderer, a reset). Addresses are no proof, as a
    // freed texture's may be reused.
    std::uint64_t contentId() const {
        if (m_isTarget && m_resetsSeen != s_targetResets) noteTargetReset();
        return m_contentId;
    }
    void contentChanged();
    // The renderer lost what every render target held (a device or target
    // reset): each target's content counts as new from here.
    static void targetsLost() { ++s_targetResets; }

    // A render target's pixels read back for the software renderer's own
    // fills (0xAARRGGBB, rows top to bottom), with the content id they were
    // read at: read once after each time the target is drawn into.
    struct PixelCopy {
        std::vector<std::uint32_t> argb;
        std::uint64_t contentId = 0;
    };
    PixelCopy& pixelCopy() { return m_pixelCopy; }

private:
    CCTexture2D();
    void dropSdlTexture();
    // The checks and the decoding of createWithImageData; the surface as the
    // decoder gives it, and in `opaque` (if given) whether it has no alpha.
    static SDL_Surface* decodeImage(const std::string& bytes, std::string& why, bool* opaque);
    void noteTargetReset() const;

    SDL_Surface* m_surface = nullptr;
    std::string m_encoded; // the picture file's bytes, to decode again
    SDL_Texture* m_texture = nullptr;
    unsigned int m_generation = 0;     // of the SDL renderer that made m_texture
    std::uint32_t m_textureFormat = 0; // m_texture's pixel format
    int m_pixelsWide = 0, m_pixelsHigh = 0;
    CCSize m_contentSize;
    std::string m_path;
    bool m_isTarget = false;
    bool m_reportedFailure = false;
    bool m_opaque = false;
    bool m_blending = true; // the SDL texture's blend mode: blend or none
    mutable std::uint64_t m_contentId = 0;
    mutable std::uint64_t m_resetsSeen = 0;
    static inline std::uint64_t s_targetResets = 0;
    std::uint64_t m_budgetBytes = 0;
    ccColor4B m_modulation{255, 255, 255, 255};
    PixelCopy m_pixelCopy;
};

} // namespace engine
