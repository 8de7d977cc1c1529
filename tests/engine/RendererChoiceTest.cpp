// Which renderer a window gets: the user's, then SDL's hint, then software
// where OpenGL is drawn by the CPU.
#include "engine/platform/RendererChoice.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(RendererChoiceTest, OpenGLDrawnByTheCpuIsKnownByItsRendererString) {
    for (const char* cpu : {"llvmpipe (LLVM 15.0.6, 256 bits)", "Gallium 0.4 on softpipe",
                            "Software Rasterizer", "Mesa X11 swrast", "LLVMPIPE"})
        EXPECT_TRUE(isSoftwareRasteriser(cpu)) << cpu;
    for (const char* gpu :
         {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6)",
          "NVIDIA GeForce GTX 1060/PCIe/SSE2", "virgl", ""})
        EXPECT_FALSE(isSoftwareRasteriser(gpu)) << gpu;
}

TEST(RendererChoiceTest, TheUserThenSdlsHintThenTheRasteriserChoose) {
    const std::string cpu = "llvmpipe (LLVM 15.0.6, 256 bits)", gpu = "Mesa Intel(R) UHD Graphics 620";
    // Without a GPU: software; with one, or not knowing, SDL's own choice.
    EXPECT_EQ(chooseRenderDriver("", "", cpu), "software");
    EXPECT_EQ(chooseRenderDriver("", "", gpu), "");
    EXPECT_EQ(chooseRenderDriver("", "", ""), "");
    // Asked for by name, whatever OpenGL is.
    EXPECT_EQ(chooseRenderDriver("opengl", "", cpu), "opengl");
    EXPECT_EQ(chooseRenderDriver("software", "", gpu), "software");
    EXPECT_EQ(chooseRenderDriver("", "opengl", cpu), "opengl");
    EXPECT_EQ(chooseRenderDriver("software", "opengl", cpu), "software");
}

// Without a display the child finds no OpenGL, says nothing and ends.
TEST(RendererChoiceTest, TheProbeAnswersEmptyWhereThereIsNoOpenGL) {
    EXPECT_EQ(probeOpenGLRenderer(), "");
}

// A DRM render node or NVIDIA's device is a GPU; a display-only card is not.
TEST(RendererChoiceTest, AGpuIsARenderNodeOrNvidiasDevice) {
    testsupport::TempDir devices;
    EXPECT_FALSE(hasGpuDevice(devices.path()));
    devices.write("dri/card0", "");
    EXPECT_FALSE(hasGpuDevice(devices.path()));
    devices.write("dri/renderD128", "");
    EXPECT_TRUE(hasGpuDevice(devices.path()));
    testsupport::TempDir nvidia;
    nvidia.write("nvidiactl", "");
    EXPECT_TRUE(hasGpuDevice(nvidia.path()));
}
