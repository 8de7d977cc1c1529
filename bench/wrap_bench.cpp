// Breaking long text into lines with the labels' own measure (SDL_ttf): a
// word of 10 k, 100 k and 1 M letters that must be broken at every line, and
// as many letters in words of five. Time grows in proportion to the length.
#include "engine/text/CCFontCache.h"
#include "engine/text/ccTextWrap.h"

#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace engine;

namespace {

TTF_Font* benchFont() {
    static TTF_Font* font = [] {
        if (TTF_WasInit() == 0) TTF_Init();
        CCFontCache* cache = CCFontCache::sharedFontCache();
        return cache->font(cache->faceForName("Arial", false), 20);
    }();
    return font;
}

float measure(const std::string& text) {
    int w = 0, h = 0;
    return TTF_SizeUTF8(benchFont(), text.c_str(), &w, &h) == 0 ? static_cast<float>(w) : 0.0f;
}

void wrap(benchmark::State& state, const std::string& text) {
    if (!benchFont()) {
        state.SkipWithError("no font");
        return;
    }
    std::size_t lines = 0;
    for (auto _ : state)
        lines = ccWrapText(text, 300.0f, measure).size();
    state.counters["lines"] = static_cast<double>(lines);
    state.SetItemsProcessed(state.iterations() * static_cast<long>(text.size()));
}

void oneLongWord(benchmark::State& state) {
    wrap(state, std::string(static_cast<std::size_t>(state.range(0)), 'a'));
}

void wordsOfFive(benchmark::State& state) {
    std::string text;
    while (text.size() < static_cast<std::size_t>(state.range(0)))
        text += "abcd ";
    wrap(state, text);
}

} // namespace

BENCHMARK(oneLongWord)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(wordsOfFive)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
