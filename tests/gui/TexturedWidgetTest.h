#pragma once
// Shared by the tests of the textured widgets: a headless view, solid
// colour PNGs made by the test, a UI layer to route real touches, and the
// leak check that using a widget and removing it frees everything.
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCObject.h"
#include "engine/render/CCTextureCache.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIWidget.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace texturedtest {

constexpr std::uint32_t kRed = 0xffff0000;
constexpr std::uint32_t kGreen = 0xff00ff00;
constexpr std::uint32_t kBlue = 0xff0000ff;
constexpr std::uint32_t kYellow = 0xffffff00;
constexpr std::uint32_t kGrey = 0xff808080;
constexpr std::uint32_t kWhite = 0xffffffff;
constexpr std::uint32_t kMagenta = 0xffff00ff;

// Records what the handlers of a widget were called with.
class Recorder : public engine::CCObject {
public:
    void onTouch(engine::CCObject*, int code) { touchCodes.push_back(code); }
    void onEvent(engine::CCObject*, int code) { eventCodes.push_back(code); }
    void onRelease(engine::CCObject*) { calls.push_back("release"); }
    void onCancel(engine::CCObject*) { calls.push_back("cancel"); }
    void onSelect(engine::CCObject*) { calls.push_back("select"); }
    void onUnselect(engine::CCObject*) { calls.push_back("unselect"); }
    void onPercent(engine::CCObject*) { calls.push_back("percent"); }
    void onMove(engine::CCObject*) { calls.push_back("move"); }
    std::vector<int> touchCodes;
    std::vector<int> eventCodes;
    std::vector<std::string> calls;
};

// A parent that records the phases its children report.
class ListeningParent : public gui::UIWidget {
public:
    static ListeningParent* create() { return createWidget<ListeningParent>(); }
    void onChildTouch(int phase, gui::UIWidget* sender, const engine::CCPoint& point) override {
        phases.push_back(phase);
        gui::UIWidget::onChildTouch(phase, sender, point);
    }
    std::vector<int> phases;
};

class TexturedWidgetTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        recorder = new Recorder();
    }
    void TearDown() override { recorder->release(); }

    // A solid PNG in the resource root (with an optional frame); answers its name.
    std::string image(const std::string& name, int w, int h, std::uint32_t argb, int border = 0,
                      std::uint32_t borderArgb = 0) {
        return screen.writeImage(name, w, h, argb, border, borderArgb);
    }

    // A running UI layer holding `widget`, drawn once.
    gui::UILayer* showLayer(gui::UIWidget* widget) {
        gui::UILayer* layer = gui::UILayer::create();
        if (widget) layer->addWidget(widget);
        screen.show(layer);
        return layer;
    }

    // Creating a widget with `make`, adding it to a running layer, touching
    // it (down, moved, up) at `point` and removing it again leaves as many
    // live objects as before: widget, render nodes and labels all go.
    void expectFreedAfterUse(const std::function<gui::UIWidget*()>& make, const engine::CCPoint& point) {
        gui::UILayer* layer = showLayer(nullptr);
        // Textures stay cached by design; load them once before counting.
        make();
        engine::CCAutoreleasePool::sharedPool()->drain();
        long before = engine::CCObject::liveObjectCount();
        {
            gui::UIWidget* widget = make();
            widget->setTouchEnabled(true);
            layer->addWidget(widget);
            screen.step();
            testsupport::HeadlessView::touchBegan(point);
            testsupport::HeadlessView::touchMoved(engine::CCPoint(point.x + 1, point.y));
            testsupport::HeadlessView::touchEnded(point);
            screen.step();
            EXPECT_TRUE(widget->getParent() != nullptr);
            widget->removeFromParent();
        }
        engine::CCAutoreleasePool::sharedPool()->drain();
        screen.step();
        EXPECT_EQ(engine::CCObject::liveObjectCount(), before) << "the widget left objects behind";
    }

    Recorder* recorder = nullptr;
};

} // namespace texturedtest
