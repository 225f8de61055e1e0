// Cost of one paint stroke with its texture upload, of scoring a 512 x 512 paint picture and
// of scoring the server room, the largest level. The stroke needs GL: it uses the hidden
// window of BenchWorld on the current display.
#include "app/AppObjects.h"
#include "bench/BenchWorld.h"
#include "game/FloorMesh.h"
#include "game/Heightmap.h"
#include "game/PaintCanvas.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"

#include <FreeImage.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
const unsigned int side = 512;

// A picture of one colour (red, green, blue, alpha bytes).
std::string writePicture(const std::string& path, unsigned int width, unsigned int height, const BYTE (&rgba)[4])
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 32);
    for (unsigned int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(picture, y);
        for (unsigned int x = 0; x < width; ++x) {
            line[x * 4 + FI_RGBA_RED] = rgba[0];
            line[x * 4 + FI_RGBA_GREEN] = rgba[1];
            line[x * 4 + FI_RGBA_BLUE] = rgba[2];
            line[x * 4 + FI_RGBA_ALPHA] = rgba[3];
        }
    }
    FreeImage_Save(FIF_PNG, picture, path.c_str(), 0);
    FreeImage_Unload(picture);
    return path;
}

// A 6.4 x 6.4 floor (64 x 64 cells of 0.1) under a clear 512 x 512 paint picture whose
// original is all red.
Heightmap* makeFloor()
{
    std::string folder = "/tmp/tintbox-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    Shader* shader = new Shader("Shader/heightmapShader.vert", "Shader/heightmapShader.frag");
    Heightmap* heightmap = new Heightmap(appObjects.textureLoader, shader, 0.1f);
    heightmap->loadFloor(writePicture(folder + "/height.png", 65, 65, { 0, 0, 0, 255 }), 0, {});
    heightmap->loadPictures(writePicture(folder + "/paint.png", side, side, { 0, 0, 0, 0 }), 3,
        writePicture(folder + "/original.png", side, side, { 255, 0, 0, 255 }), 1);
    std::filesystem::remove_all(folder);
    return heightmap;
}

void BM_PaintStroke(benchmark::State& state)
{
    if (!BenchWorld::get()) {
        state.SkipWithError("no GL context (is DISPLAY set?)");
        return;
    }
    static Heightmap* heightmap = makeFloor();
    const float pixel = 6.4f / side;
    // Green and blue are not the current colour, so strokes spend no budget and never run out;
    // each pass over the picture switches colour, so that every stroke changes its pixel.
    const glm::vec4 colours[2] = { { 0, 1, 0, 1 }, { 0, 0, 1, 1 } };
    unsigned int stroke = 0;
    for (auto _ : state) {
        unsigned int interior = (side - 2) * (side - 2);
        unsigned int k = stroke % interior;
        float x = (1 + k % (side - 2) + 0.5f) * pixel;
        float z = (1 + k / (side - 2) + 0.5f) * pixel;
        heightmap->paintAt(x, z, colours[(stroke / interior) % 2]);
        glFinish();
        ++stroke;
    }
    state.counters["LP_NUM_THREADS"] = getenv("LP_NUM_THREADS") ? std::atoi(getenv("LP_NUM_THREADS")) : 0;
}
BENCHMARK(BM_PaintStroke);

// A finished 512 x 512 level in blocks of four colours: half the pixels painted right, a
// quarter in the colour of the pixel to their right, a quarter in a colour of no target.
// Every budget spent: half the pixels painted right, a quarter in the colour of the pixel to
// their right, a quarter in a colour of no target.
void finish(PaintCanvas& canvas)
{
    for (auto& entry : canvas.colourCounts)
        entry.second = 0;
    const std::vector<float>& target = canvas.targetColours;
    size_t pixels = target.size() / 4;
    for (size_t p = 0; p < pixels; ++p) {
        unsigned int kind = p % 4;
        size_t from = kind == 2 && p + 1 < pixels ? p + 1 : p;
        glm::vec4 c = kind == 3 ? glm::vec4(1, 1, 1, 1) : glm::vec4(0.0f);
        if (kind != 3)
            std::copy(&target[from * 4], &target[from * 4] + 4, &c[0]);
        std::copy(&c[0], &c[0] + 4, &canvas.paintedColours[p * 4]);
    }
}

// A finished 512 x 512 level in blocks of four colours.
PaintCanvas finishedCanvas()
{
    const glm::vec4 palette[4] = { { 1, 0, 0, 1 }, { 0, 1, 0, 1 }, { 0, 0, 1, 1 }, { 1, 1, 0, 1 } };
    std::vector<float> original(side * side * 4);
    for (unsigned int p = 0; p < side * side; ++p) {
        glm::vec4 c = palette[(p / side / 8 + p % side / 8) % 4];
        std::copy(&c[0], &c[0] + 4, &original[p * 4]);
    }
    PaintCanvas canvas;
    canvas.setPaintPicture(side, side, std::vector<float>(side * side * 4, 0.0f));
    canvas.setOriginalPicture(original);
    finish(canvas);
    return canvas;
}

// RGBA floats of a picture under build/Resources, as the floor decodes it.
std::vector<float> decode(const char* path, unsigned int& width, unsigned int& height)
{
    FIBITMAP* loaded = FreeImage_Load(FreeImage_GetFileType(path, 0), path, 0);
    FIBITMAP* picture = loaded ? FreeImage_ConvertTo32Bits(loaded) : nullptr;
    if (loaded)
        FreeImage_Unload(loaded);
    if (!picture)
        return {};
    width = FreeImage_GetWidth(picture);
    height = FreeImage_GetHeight(picture);
    std::vector<float> colours = PaintCanvas::toRgba(FreeImage_GetBits(picture), width, height);
    FreeImage_Unload(picture);
    return colours;
}

// Scoring uses painted pixels up, so every round starts again from the same painted floor.
void timeScore(benchmark::State& state, PaintCanvas& canvas)
{
    const std::vector<float> painted = canvas.paintedColours;
    float result = 0.0f;
    for (auto _ : state) {
        state.PauseTiming();
        canvas.paintedColours = painted;
        state.ResumeTiming();
        result = canvas.score();
        benchmark::DoNotOptimize(result);
    }
    state.counters["score"] = result;
}

void BM_PaintScore(benchmark::State& state)
{
    PaintCanvas canvas = finishedCanvas();
    timeScore(state, canvas);
}
BENCHMARK(BM_PaintScore)->Unit(benchmark::kMillisecond);

// The server room's own paint and original pictures, finished as above.
void BM_ScoreServerRoom(benchmark::State& state)
{
    unsigned int width = 0;
    unsigned int height = 0;
    std::vector<float> paint = decode("Resources/floor_server_paint.png", width, height);
    std::vector<float> original = decode("Resources/floor_server_original.png", width, height);
    PaintCanvas canvas;
    canvas.setPaintPicture(width, height, paint);
    if (paint.empty() || !canvas.setOriginalPicture(original)) {
        state.SkipWithError("the server room's pictures did not load (run from the build folder)");
        return;
    }
    finish(canvas);
    timeScore(state, canvas);
    state.counters["pixels"] = static_cast<double>(width) * height;
}
BENCHMARK(BM_ScoreServerRoom)->Unit(benchmark::kMicrosecond);
}
