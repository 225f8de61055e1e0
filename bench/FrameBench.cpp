// Cost of a whole frame of the real scene (update and draw, HUD off and on) and of the culled
// model draw alone, in both levels, in the hidden 1024 x 768 window of BenchWorld. Each
// iteration waits for the driver (glFinish), so the time includes the rasterisation.
#include "app/AppObjects.h"
#include "bench/BenchWorld.h"
#include "game/Level.h"
#include "hud/DebugHud.h"
#include "render/ModelList.h"
#include "render/Shader.h"
#include "world/Scene.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {
void countThreads(benchmark::State& state)
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    state.counters["LP_NUM_THREADS"] = threads ? std::atoi(threads) : -1;
}

// Arguments: level (1 tutorial, 2 server room), HUD shown (0 or 1).
void BM_SceneFrame(benchmark::State& state)
{
    BenchWorld* world = BenchWorld::get();
    if (!world) {
        state.SkipWithError("no GL context (is DISPLAY set?)");
        return;
    }
    world->enterLevel(static_cast<int>(state.range(0)));
    appObjects.debugHud->settings.hudVisible = state.range(1) != 0;
    world->warmUp();
    for (auto _ : state)
        world->frame(1.0 / 60.0);
    state.counters["meshesDrawn"] = appObjects.scene->meshesDrawn;
    countThreads(state);
    appObjects.debugHud->settings.hudVisible = false;
}
BENCHMARK(BM_SceneFrame)
    ->ArgNames({ "level", "hud" })
    ->Args({ 1, 0 })
    ->Args({ 1, 1 })
    ->Args({ 2, 0 })
    ->Args({ 2, 1 })
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// The main pass's model draw of the server room, as the scene issues it after the floor.
void BM_DrawCulledServerRoom(benchmark::State& state)
{
    BenchWorld* world = BenchWorld::get();
    if (!world) {
        state.SkipWithError("no GL context (is DISPLAY set?)");
        return;
    }
    world->enterLevel(2);
    // The frames set the main-pass uniforms and the shadow map the draw reads.
    world->warmUp();
    Scene* scene = appObjects.scene;
    int drawn = 0;
    for (auto _ : state) {
        // A depth buffer left full would let every fragment fail the depth test.
        glClear(GL_DEPTH_BUFFER_BIT);
        scene->diffuseShader->use();
        scene->level->applyLighting(scene->diffuseShader);
        drawn = scene->modelList->drawCulled(scene->diffuseShader);
        glFinish();
    }
    state.counters["meshesDrawn"] = drawn;
    countThreads(state);
}
BENCHMARK(BM_DrawCulledServerRoom)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
}
