#include "support/RecordingScene.h"

#include "engine/nodes/CCLayer.h"

namespace testsupport {

std::vector<std::string>& sceneJournal() {
    static std::vector<std::string> journal;
    return journal;
}

RecordingScene* RecordingScene::create(const std::string& name) {
    auto* scene = new RecordingScene(name);
    scene->init();
    scene->autorelease();
    return scene;
}

RecordingScene* RecordingScene::create(const std::string& name, const engine::ccColor4B& colour) {
    RecordingScene* scene = create(name);
    scene->addChild(engine::CCLayerColor::create(colour));
    return scene;
}

RecordingScene::~RecordingScene() { sceneJournal().push_back(m_name + ".deleted"); }

void RecordingScene::onEnter() {
    sceneJournal().push_back(m_name + ".onEnter");
    CCScene::onEnter();
}

void RecordingScene::onEnterTransitionDidFinish() {
    sceneJournal().push_back(m_name + ".onEnterTransitionDidFinish");
    CCScene::onEnterTransitionDidFinish();
}

void RecordingScene::onExitTransitionDidStart() {
    sceneJournal().push_back(m_name + ".onExitTransitionDidStart");
    CCScene::onExitTransitionDidStart();
}

void RecordingScene::onExit() {
    sceneJournal().push_back(m_name + ".onExit");
    CCScene::onExit();
}

void RecordingScene::cleanup() {
    sceneJournal().push_back(m_name + ".cleanup");
    CCScene::cleanup();
}

} // namespace testsupport
