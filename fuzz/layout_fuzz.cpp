// Layout files from outside: any bytes must give a widget tree or none with a
// log line, never a crash, an escaped exception, a hang or a leaked object.
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCFontCache.h"
#include "gui/LayoutReader.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace engine;

namespace {

// Walks the tree without recursion and checks each link.
size_t visit(gui::UIWidget* root) {
    size_t count = 0;
    std::vector<gui::UIWidget*> pending{root};
    while (!pending.empty()) {
        gui::UIWidget* widget = pending.back();
        pending.pop_back();
        ++count;
        for (CCObject* child : *widget->getChildren()) {
            auto* childWidget = static_cast<gui::UIWidget*>(child);
            if (childWidget->getParent() != widget) std::abort();
            pending.push_back(childWidget);
        }
    }
    return count;
}

void setUp() {
    CCLogSetEchoToStderr(false);
    // An empty resource root: names in the input find no files, whatever they are.
    char folder[] = "/tmp/lirra-layout-fuzz-XXXXXX";
    if (mkdtemp(folder)) CCFileUtils::sharedFileUtils()->setResourceRoot(folder);
    // The reader's two messages would flood standard output.
    std::freopen("/dev/null", "w", stdout);
    // Shared engine objects made on first use (director, scheduler, caches)
    // are made here, so that each run starts and ends with the same count.
    std::string warmUp = R"({"widgetTree": {"classname": "Panel", "children": [)";
    for (const char* kind : {"Button", "CheckBox", "Label", "LabelAtlas", "LoadingBar", "TextArea",
                             "TextButton", "TextField", "ImageView", "Panel", "Slider", "LabelBMFont"})
        warmUp += std::string(R"({"classname": ")") + kind + R"("},)";
    warmUp += R"({"classname": "Panel"}]}})";
    gui::LayoutReader::instance()->readLayoutData(warmUp, "warm-up.json");
    gui::UIToolkit::purgeToolkit();
    CCAutoreleasePool::sharedPool()->drain();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (setUp(), true);
    (void)ready;
    long before = CCObject::liveObjectCount();
    std::string text(reinterpret_cast<const char*>(data), size);
    if (gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutData(text, "layouts/fuzz.json"))
        visit(root);
    gui::UIToolkit::purgeToolkit();
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    // Every font size an input names stays open in the engine's font cache;
    // close them now and then so that a long run keeps its memory.
    if (CCFontCache::sharedFontCache()->getOpenFontCount() > 32) CCFontCache::sharedFontCache()->purge();
    return 0;
}
