// Cost of building (and deleting) a text label of 40 characters, as the debug HUD does for its
// changing lines, with the game's font in the hidden window of BenchWorld.
#include "app/AppObjects.h"
#include "bench/BenchWorld.h"
#include "overlay/FontGen.h"
#include "overlay/TextLabel.h"

#include <benchmark/benchmark.h>

#include <glm/glm.hpp>

namespace {
void BM_TextLabel40(benchmark::State& state)
{
    if (!BenchWorld::get()) {
        state.SkipWithError("no GL context (is DISPLAY set?)");
        return;
    }
    const char* text = "Frustum Culling: 1234 Meshes drawn, 40ch";
    size_t meshes = 0;
    for (auto _ : state) {
        TextLabel* label = appObjects.fontGen->createText(text, glm::vec2(-502.0f, 249.0f));
        meshes = label->meshes.size();
        delete label;
    }
    state.counters["characters"] = static_cast<double>(meshes);
}
BENCHMARK(BM_TextLabel40)->Unit(benchmark::kMicrosecond);
}
