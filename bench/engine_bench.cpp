// Engine core costs: a visit that updates the transforms of a large tree,
// one scheduler tick over many timers, and taking down a scene whose nodes
// each have a per-frame update.
#include "engine/actions/CCMoveBy.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCNode.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace engine;

namespace {

constexpr int kRootChildren = 100;
constexpr int kGrandchildren = 99; // 1 + 100 + 100 × 99 = 10,001 nodes

// A page-like tree: 100 groups of 99 small sprites-to-be, each with its own
// anchor, scale and rotation so that every local transform is a full one.
struct Tree {
    CCNode* root;
    std::vector<CCNode*> rootChildren;
    std::vector<CCNode*> all;

    Tree() {
        root = new CCNode();
        all.push_back(root);
        for (int i = 0; i < kRootChildren; ++i) {
            CCNode* group = CCNode::create();
            group->setPosition(static_cast<float>(i % 10) * 64, static_cast<float>(i / 10) * 96);
            group->setRotation(static_cast<float>(i));
            root->addChild(group, i % 3);
            rootChildren.push_back(group);
            all.push_back(group);
            for (int j = 0; j < kGrandchildren; ++j) {
                CCNode* leaf = CCNode::create();
                leaf->setContentSize(CCSize(32, 32));
                leaf->setAnchorPoint(ccp(0.5f, 0.5f));
                leaf->setPosition(static_cast<float>(j % 11) * 5, static_cast<float>(j / 11) * 5);
                leaf->setScale(0.5f + static_cast<float>(j % 4) * 0.25f);
                leaf->setRotation(static_cast<float>(j * 7 % 360));
                group->addChild(leaf, j % 2 ? -1 : 1);
                all.push_back(leaf);
            }
        }
        CCAutoreleasePool::sharedPool()->drain(); // the tree alone holds its nodes
    }
    ~Tree() { root->release(); }
};

void reportPerNode(benchmark::State& state, size_t nodes) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nodes));
    state.counters["nodes"] = static_cast<double>(nodes);
    // Seconds per node (shown as ns).
    state.counters["per_node"] =
        benchmark::Counter(static_cast<double>(nodes),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Nothing moved since the last visit: local transforms come from the cache,
// world transforms are still composed for every node.
void BM_VisitTreeClean(benchmark::State& state) {
    Tree tree;
    tree.root->visit();
    for (auto _ : state) {
        tree.root->visit();
        benchmark::DoNotOptimize(tree.all.back()->getWorldTransform());
    }
    reportPerNode(state, tree.all.size());
}
BENCHMARK(BM_VisitTreeClean);

// The 100 groups move every frame (a page sliding in): their local
// transforms are rebuilt, and every leaf below gets a new world transform.
void BM_VisitTreeRootChildrenMoved(benchmark::State& state) {
    Tree tree;
    float offset = 0;
    for (auto _ : state) {
        offset += 1.0f;
        for (CCNode* group : tree.rootChildren)
            group->setPositionX(group->getPositionX() + (offset > 50 ? -1 : 1));
        if (offset > 100) offset = 0;
        tree.root->visit();
        benchmark::DoNotOptimize(tree.all.back()->getWorldTransform());
    }
    reportPerNode(state, tree.all.size());
}
BENCHMARK(BM_VisitTreeRootChildrenMoved);

// Every node changed (all animating): each local transform is rebuilt with
// its sine and cosine.
void BM_VisitTreeAllDirty(benchmark::State& state) {
    Tree tree;
    float turn = 0;
    for (auto _ : state) {
        turn += 0.5f;
        for (CCNode* node : tree.all)
            node->setRotation(turn);
        tree.root->visit();
        benchmark::DoNotOptimize(tree.all.back()->getWorldTransform());
    }
    reportPerNode(state, tree.all.size());
}
BENCHMARK(BM_VisitTreeAllDirty);

class TimerTarget : public CCObject {
public:
    void tick(float elapsed) { total += elapsed; }
    float total = 0;
};

// One tick of a scheduler holding `range(0)` timers. With interval 0 every
// timer fires each tick; with a long interval none does (bookkeeping alone).
void schedulerTick(benchmark::State& state, float interval) {
    const int count = static_cast<int>(state.range(0));
    auto* scheduler = new CCScheduler();
    std::vector<TimerTarget*> targets;
    for (int i = 0; i < count; ++i) {
        auto* target = new TimerTarget();
        scheduler->scheduleSelector(schedule_selector(TimerTarget::tick), target, interval, false);
        targets.push_back(target);
    }
    for (auto _ : state)
        scheduler->update(1.0f / 60);
    benchmark::DoNotOptimize(targets.front()->total);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.counters["per_timer"] = benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
    scheduler->unscheduleAll();
    scheduler->release();
    for (TimerTarget* target : targets)
        target->release();
}

void BM_SchedulerTickAllFire(benchmark::State& state) {
    schedulerTick(state, 0.0f);
}
BENCHMARK(BM_SchedulerTickAllFire)->Arg(1000);

void BM_SchedulerTickNoneDue(benchmark::State& state) {
    schedulerTick(state, 1000.0f);
}
BENCHMARK(BM_SchedulerTickNoneDue)->Arg(1000);

class UpdatingNode : public CCNode {
public:
    void update(float dt) override { total += dt; }
    float total = 0;
};

// What the director does to a scene it lets go: exit (pausing every node),
// cleanup (unscheduling every node and removing its actions), release (each
// node's destructor unschedules once more). `busy` gives a running node its
// work. The per-node cost must not grow with the scene.
template <class Node, class Busy> void measureTeardown(benchmark::State& state, Busy busy) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto* root = new CCNode();
        for (int i = 0; i < count; ++i) {
            auto* node = new Node();
            root->addChild(node);
            node->release();
        }
        root->onEnter();
        for (CCNode* node : root->getChildren())
            busy(node);
        CCAutoreleasePool::sharedPool()->drain();
        state.ResumeTiming();
        root->onExitTransitionDidStart();
        root->onExit();
        root->cleanup();
        root->release();
    }
    reportPerNode(state, static_cast<size_t>(count));
}

void BM_TeardownScheduledNodes(benchmark::State& state) {
    measureTeardown<UpdatingNode>(state, [](CCNode* node) { node->scheduleUpdate(); });
}
BENCHMARK(BM_TeardownScheduledNodes)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

// Every node running an action of its own (a page whose pictures all move):
// each node's exit pauses, and its cleanup removes, only its own actions.
void BM_TeardownNodesWithActions(benchmark::State& state) {
    measureTeardown<CCNode>(state, [](CCNode* node) { node->runAction(CCMoveBy::create(10.0f, ccp(1, 1))); });
}
BENCHMARK(BM_TeardownNodesWithActions)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
