// Layout files from outside: any bytes must give a widget tree or none with a
// log line, never a crash, an escaped exception, a hang or a leaked object.
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCFontCache.h"
#include "gui/LayoutReader.h"
#include "gui/UIScrollInterface.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"
#include "gui/action/ActionManager.h"
#include "gui/action/ActionNode.h"
#include "gui/action/ActionObject.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace engine;

namespace {

// A drag across every scrolling container, a few frames each: the motions
// read sizes and positions that came from the input.
void dragContainer(gui::UIWidget* widget) {
    auto* container = dynamic_cast<gui::UIScrollInterface*>(widget);
    if (!container) return;
    CCPoint at = widget->getPosition();
    container->handlePress(at);
    widget->update(1.0f / 60);
    container->handleMove(at + CCPoint(37, -23));
    container->handleMove(at + CCPoint(-400, 900));
    container->handleRelease(at + CCPoint(-400, 900));
    for (int i = 0; i < 4; ++i)
        widget->update(0.2f);
}

// Every track of the file's animations: seek before, at and past its frames,
// play, and stop.
void driveAnimations(const std::string& fileName, bool fileRead) {
    CCArray* animations = gui::ActionManager::instance()->getAnimations(fileName);
    // Every file that reads stores an entry, even an empty one; a file that
    // is not JSON stores none.
    if (!animations) {
        if (fileRead) std::abort();
        return;
    }
    for (CCObject* object : *animations) {
        auto* animation = static_cast<gui::ActionObject*>(object);
        for (CCObject* track : *animation->getActionNodes()) {
            auto* node = static_cast<gui::ActionNode*>(track);
            for (float time : {-1.0f, 0.0f, 0.35f, 1.0f, 100.0f})
                node->updateToTime(time);
        }
        animation->play();
        animation->stop();
    }
}

// Walks the tree without recursion and checks each link.
size_t visit(gui::UIWidget* root) {
    size_t count = 0;
    std::vector<gui::UIWidget*> pending{root};
    while (!pending.empty()) {
        gui::UIWidget* widget = pending.back();
        pending.pop_back();
        ++count;
        dragContainer(widget);
        for (CCObject* child : *widget->getChildren()) {
            auto* childWidget = static_cast<gui::UIWidget*>(child);
            // A scrolling container answers its inner container's children.
            gui::UIWidget* parent = childWidget->getParent();
            if (parent != widget && (!parent || parent->getParent() != widget)) std::abort();
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
    for (const char* kind :
         {"Button", "CheckBox", "Label", "LabelAtlas", "LoadingBar", "TextArea", "TextButton", "TextField",
          "ImageView", "Panel", "Slider", "LabelBMFont", "ScrollView", "PageView", "DragPanel"})
        warmUp += std::string(R"({"classname": ")") + kind + R"("},)";
    warmUp += R"({"classname": "Panel"}]},
        "animation": {"actionlist": [{"actionnodelist": [{"actionframelist": [{"positionx": 1}, {"positionx": 2}]}]}]}})";
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
    gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutData(text, "layouts/fuzz.json");
    if (root) visit(root);
    driveAnimations("fuzz.json", root != nullptr);
    gui::UIToolkit::purgeToolkit();
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    // Every font size an input names stays open in the engine's font cache;
    // close them now and then so that a long run keeps its memory.
    if (CCFontCache::sharedFontCache()->getOpenFontCount() > 32) CCFontCache::sharedFontCache()->purge();
    return 0;
}
