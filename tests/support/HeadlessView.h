#pragma once
// A headless 640 x 960 view for scene tests: SDL's software renderer, the
// design resolution stretched exactly over it, a fresh director, and a
// temporary resource root for the files a test makes. Steps frames, reads
// the pixel under a design point or at a pixel of the frame, and saves
// frames as PNG files under the build tree (build/<dir>/screenshots/) for
// people to look at.
//
// One at a time: the view, director and file layer are shared by the process.
#include "engine/base/CCGeometry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace engine {
class CCNode;
class CCScene;
} // namespace engine

namespace testsupport {

struct Pixel {
    int r = -1, g = -1, b = -1, a = -1; // -1: outside the frame
};
std::ostream& operator<<(std::ostream& out, const Pixel& pixel);
// The channels of a frame's pixel (0xAARRGGBB).
Pixel unpack(std::uint32_t argb);

// Whether each channel lies within `tolerance` of (r, g, b).
bool near(const Pixel& pixel, int r, int g, int b, int tolerance = 3);
// The same as an assertion that names both colours when they differ.
::testing::AssertionResult isColour(const Pixel& pixel, int r, int g, int b, int tolerance = 3);

class HeadlessView {
public:
    HeadlessView();
    // Resets the director, closes the view, drops cached textures and puts
    // the resource root back.
    ~HeadlessView();
    HeadlessView(const HeadlessView&) = delete;
    HeadlessView& operator=(const HeadlessView&) = delete;

    // Opens the view anew at a frame of `frameWidth` x `frameHeight` pixels,
    // the design resolution stretched exactly over it, with a fresh director.
    bool open(float frameWidth, float frameHeight);
    bool isOpen() const { return m_open; }
    // The resource root while the view lives.
    const TempDir& resources() const { return m_resources; }

    // Runs `scene` as the first scene and draws one frame.
    void run(engine::CCScene* scene);
    // Runs a new scene holding `content` and draws one frame; answers the scene.
    engine::CCScene* show(engine::CCNode* content);
    // Steps `frames` frames of `dt` seconds and reads the last one back;
    // answers whether it could be read.
    bool step(int frames = 1, float dt = 1.0f / 60.0f);

    // The last frame's pixel under a design point (y up).
    Pixel at(float designX, float designY) const;
    Pixel at(const engine::CCPoint& design) const { return at(design.x, design.y); }
    // The last frame's pixel in its own pixels (y down from the top row).
    Pixel pixelAt(int x, int y) const;
    // The last frame: its size in pixels and its pixels row by row (0xAARRGGBB).
    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }
    // How many pixels of the last frame `match`.
    int count(const std::function<bool(const Pixel&)>& match) const;
    // Saves the last frame as screenshots/<name>.png under the build tree;
    // answers the path, empty on failure.
    std::string save(const std::string& name) const;
    // Saves the last frame as save does and reads the file back: succeeds
    // when the file holds exactly the frame that the test's pixel checks
    // saw, so a saved screenshot shows what the test asserted.
    ::testing::AssertionResult savedAsShown(const std::string& name) const;
    // Compares the last frame with tests/data/reference/<name>.png: at most
    // `differingShare` of the pixels may differ by more than `tolerance` in
    // a channel (rounding of edges). The frame is also saved as save does.
    // With LIRRA_UPDATE_REFERENCES=1 in the environment the frame becomes
    // the new reference instead: for a change of look made on purpose.
    ::testing::AssertionResult matchesReference(const std::string& name, int tolerance = 8,
                                                double differingShare = 0.001) const;

    // A `w` x `h` PNG in the resource root, filled with `argb` (0xAARRGGBB)
    // inside a frame `border` pixels wide of `borderArgb`; answers its name.
    std::string writeImage(const std::string& name, int w, int h, std::uint32_t argb, int border = 0,
                           std::uint32_t borderArgb = 0) const;

    // Injected touches at design points, through the engine's dispatcher.
    static void touchBegan(const engine::CCPoint& point, int id = 0);
    static void touchMoved(const engine::CCPoint& point, int id = 0);
    static void touchEnded(const engine::CCPoint& point, int id = 0);

    // Live engine objects once the director is reset, cached textures
    // dropped and the autorelease pool drained: compare two of these to
    // check that a scene was freed completely. Leaves no scene running.
    static long settledObjectCount();

private:
    TempDir m_resources;
    std::string m_savedRoot;
    bool m_open = false;
    std::vector<std::uint32_t> m_pixels;
    int m_width = 0, m_height = 0;
};

} // namespace testsupport
