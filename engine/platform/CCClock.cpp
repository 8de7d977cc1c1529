#include "engine/platform/CCClock.h"

#include <algorithm>
#include <chrono>

namespace engine {

namespace {
bool g_virtual = false;
double g_virtualNow = 0.0;

double realNow() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration<double>(steady_clock::now() - start).count();
}
} // namespace

double CCClock::now() { return g_virtual ? g_virtualNow : realNow(); }

bool CCClock::isVirtual() { return g_virtual; }

void CCClock::setVirtual(bool isVirtual) {
    if (isVirtual && !g_virtual) g_virtualNow = std::max(realNow(), kVirtualStart);
    g_virtual = isVirtual;
}

void CCClock::advance(double seconds) {
    if (g_virtual && seconds > 0) g_virtualNow += seconds;
}

} // namespace engine
