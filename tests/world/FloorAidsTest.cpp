// What the floor tells a player before a click, read back from real frames: the mark on the
// paint pixel a click lands on, in its look for in and out of reach, and hints and the reach
// line that stand out from the floor beside them.
#include "tests/support/FloorTestFiles.h"
#include "tests/world/PlayFixture.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <utility>

namespace {
// CIE L*a*b* (D65) of an sRGB colour: distances in it are colour differences as the eye sees them.
glm::vec3 lab(glm::vec3 srgb)
{
    auto linear = [](float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); };
    glm::vec3 c(linear(srgb.r), linear(srgb.g), linear(srgb.b));
    glm::vec3 xyz = glm::mat3(0.4124f, 0.2126f, 0.0193f, 0.3576f, 0.7152f, 0.1192f, 0.1805f, 0.0722f, 0.9505f) * c
        / glm::vec3(0.95047f, 1.0f, 1.08883f);
    auto f = [](float t) { return t > 0.008856f ? std::cbrt(t) : t * 7.787f + 16.0f / 116.0f; };
    return glm::vec3(116.0f * f(xyz.y) - 16.0f, 500.0f * (f(xyz.x) - f(xyz.y)), 200.0f * (f(xyz.y) - f(xyz.z)));
}

// CIE 1976 colour difference.
float deltaE(glm::vec3 a, glm::vec3 b)
{
    return glm::length(lab(a) - lab(b));
}

struct Mean {
    glm::dvec3 sum { 0.0 };
    int count = 0;
    void add(glm::vec3 c)
    {
        sum += glm::dvec3(c);
        ++count;
    }
    glm::vec3 value() const
    {
        return glm::vec3(sum / static_cast<double>(std::max(count, 1)));
    }
};
}

class FloorAidsTest : public PlayFixture {
protected:
    // A frame as the player sees it, without the crosshair (and without the room and the
    // vehicle unless asked for), read back with its depth.
    void shoot(bool models)
    {
        Model* crosshair = std::exchange(scene->crosshair, nullptr);
        std::vector<Model*> all = scene->modelList->models;
        if (!models)
            scene->modelList->models.clear();
        frame();
        scene->crosshair = crosshair;
        scene->modelList->models = all;
        shown = readPixels(0, 0, width, height);
        depth.assign(static_cast<size_t>(width) * height, 1.0f);
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        toWorld = glm::inverse(scene->camera->projection * scene->camera->viewMatrix());
    }

    glm::vec3 colourAt(int x, int y) const
    {
        const unsigned char* p = &shown[(static_cast<size_t>(y) * width + x) * 4];
        return glm::vec3(p[0], p[1], p[2]) / 255.0f;
    }

    // The point drawn at the middle of window pixel (x, y); w is 0 where nothing was drawn.
    glm::vec4 worldAt(int x, int y) const
    {
        float d = depth[static_cast<size_t>(y) * width + x];
        glm::vec4 p = toWorld
            * glm::vec4((x + 0.5f) / width * 2.0f - 1.0f, (y + 0.5f) / height * 2.0f - 1.0f, d * 2.0f - 1.0f, 1.0f);
        return d < 1.0f ? p / p.w : glm::vec4(0.0f);
    }

    // The paint pixel under a floor point, found as a stroke finds it.
    glm::ivec2 paintPixel(glm::vec3 at) const
    {
        const PaintCanvas& canvas = floor()->canvas();
        float fx
            = static_cast<float>(canvas.paintWidth) / (static_cast<float>(floor()->cellsX) * floor()->spacing) * at.x;
        float fz
            = static_cast<float>(canvas.paintHeight) / (static_cast<float>(floor()->cellsZ) * floor()->spacing) * at.z;
        return glm::ivec2(static_cast<int>(std::floor(fx)), static_cast<int>(std::floor(fz)));
    }

    std::vector<unsigned char> shown;
    std::vector<float> depth;
    glm::mat4 toWorld { 1.0f };
};

// The mark's two looks, a white outline in reach and a red pixel out of reach, are drawn unlit in
// colours of their own.
class AimMarkTest : public FloorAidsTest {
protected:
    // Checks that the marked paint pixel is the one under the stroke's pick, in the look that
    // says whether a click paints it, and that a click in reach paints it. Returns "in reach".
    bool expectMarkOnThePick(const std::string& where)
    {
        shoot(false);
        glm::vec3 hit = scene->camera->pickCentre();
        glm::ivec2 expected = paintPixel(hit);
        glm::vec3 p = vehicle()->getPosition();
        bool inReach = hit.x > p.x - 0.8f && hit.x < p.x + 0.8f && hit.z > p.z - 0.8f && hit.z < p.z + 0.8f;
        int onIt[2] = { 0, 0 };
        int elsewhere = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* c = &shown[(static_cast<size_t>(y) * width + x) * 4];
                bool white = c[0] == 255 && c[1] == 255 && c[2] == 255;
                bool red = c[0] == 255 && c[1] == 51 && c[2] == 38;
                if (!white && !red)
                    continue;
                if (paintPixel(glm::vec3(worldAt(x, y))) == expected)
                    ++onIt[white ? 1 : 0];
                else
                    ++elsewhere;
            }
        EXPECT_GE(onIt[inReach ? 1 : 0], 20) << where << ": the picked pixel is marked";
        EXPECT_EQ(onIt[inReach ? 0 : 1], 0) << where << ": in the look for " << (inReach ? "in" : "out of") << " reach";
        EXPECT_EQ(elsewhere, 0) << where << ": no other pixel is marked";
        if (inReach) {
            const PaintCanvas& canvas = floor()->canvas();
            size_t alpha = (static_cast<size_t>(expected.y) * canvas.paintWidth + expected.x) * 4 + 3;
            EXPECT_EQ(canvas.paintedColours[alpha], 0.0f) << where;
            press(GLFW_MOUSE_BUTTON_LEFT);
            frame();
            release(GLFW_MOUSE_BUTTON_LEFT);
            EXPECT_EQ(canvas.paintedColours[alpha], 1.0f) << where << ": a click paints the marked pixel";
        }
        return inReach;
    }

    // Turns the view onto the floor point (dx, dz) away from the vehicle.
    void lookNear(float dx, float dz)
    {
        glm::vec3 p = vehicle()->getPosition();
        lookAtFloor(p.x + dx, p.z + dz);
    }
};

TEST_F(AimMarkTest, TheMarkedPixelIsTheOneAClickPaintsInAndOutOfReach)
{
    EXPECT_FALSE(expectMarkOnThePick("start view, 1.0 ahead"));
    lookNear(0.0f, 0.6f);
    EXPECT_TRUE(expectMarkOnThePick("looking down to 0.6 ahead"));

    // The stroke reads the depth half a pixel above the centre, about 0.0006 farther on the
    // floor here: aimed 0.0003 short of a pixel's far edge, it paints the pixel beyond.
    glm::vec3 p = vehicle()->getPosition();
    glm::ivec2 pixel = paintPixel(p + glm::vec3(0.1f, 0.0f, 0.55f));
    glm::vec2 centre = pixelCentre(pixel.x, pixel.y);
    float side = pixelCentre(pixel.x, pixel.y + 1).y - centre.y;
    lookAtFloor(centre.x, centre.y + side / 2 - 0.0003f);
    EXPECT_EQ(paintPixel(scene->camera->pickCentre()).y, pixel.y + 1) << "the pick crosses the edge";
    EXPECT_TRUE(expectMarkOnThePick("just short of a pixel's edge"));

    // The reach's side edge (the start place is 0.81 from the wall on the right), just inside
    // and just outside.
    lookNear(0.79f, 0.3f);
    EXPECT_TRUE(expectMarkOnThePick("0.79 to the left"));
    lookNear(0.81f, 0.4f);
    EXPECT_FALSE(expectMarkOnThePick("0.81 to the left"));

    // After driving and turning the camera follows at an angle to the heading.
    press(GLFW_KEY_W);
    frames(20);
    release(GLFW_KEY_W);
    press(GLFW_KEY_A);
    frames(12);
    release(GLFW_KEY_A);
    lookNear(0.3f, 0.5f);
    EXPECT_TRUE(expectMarkOnThePick("after driving and turning"));
    lookNear(-0.2f, 0.79f);
    EXPECT_TRUE(expectMarkOnThePick("after turning, just inside the far edge"));
    lookNear(0.1f, 0.81f);
    EXPECT_FALSE(expectMarkOnThePick("after turning, just beyond the far edge"));
}

TEST_F(AimMarkTest, OnSlopedFloorTheMarkedPixelIsTheOneAClickPaints)
{
    // Ridges and valleys across x and z, 9 to 17 degrees steep; every cell stays plane.
    std::string folder = makeTempDir("aim-slopes");
    auto zigzag = [](int i, int period, int rise) { return std::abs(i % (2 * period) - period) * rise; };
    std::string heights = writePng(folder + "/heights.png", 56, 76,
        [&](int c, int r) { return glm::ivec4(40 + zigzag(c, 7, 2) + zigzag(r, 9, 1), 0, 0, 255); });
    std::string paint = writeFlatPng(folder + "/paint.png", 110, 150, { 0, 0, 0, 0 });
    std::string original = writeFlatPng(folder + "/original.png", 110, 150, { 200, 40, 40, 255 });
    // A dim floor, so that no lit pixel takes the mark's colours.
    floor()->loadFloor(heights, floor()->floorTexture, Material { glm::vec4(0.5f), glm::vec4(0.5f), glm::vec4(0.0f) });
    floor()->loadPictures(paint, 3, original, 1);
    ASSERT_EQ(floor()->paintWidth(), 110u);

    for (glm::vec2 at : { glm::vec2(1.43f, 2.22f), glm::vec2(2.13f, 4.07f), glm::vec2(3.22f, 5.63f) }) {
        standAt(at.x, at.y);
        std::string where = "standing at " + std::to_string(at.x) + ", " + std::to_string(at.y);
        for (glm::vec2 aim : { glm::vec2(0.0f, 0.5f), glm::vec2(0.45f, 0.4f), glm::vec2(-0.3f, 0.7f) }) {
            lookNear(aim.x, aim.y);
            EXPECT_TRUE(expectMarkOnThePick(where + ", " + std::to_string(aim.y) + " ahead"));
        }
        lookNear(0.2f, 1.2f);
        EXPECT_FALSE(expectMarkOnThePick(where + ", 1.2 ahead"));
    }
}

// Hints and the reach line against the floor beside them, on the frames a player sees first.
class FloorContrastTest : public FloorAidsTest {
protected:
    // Sorts the pixels of the last shot that show bare floor, a hint, paint or the reach line,
    // by what the paint picture holds under them and how far they lie from the reach's edge.
    void sortPixels()
    {
        hints.clear();
        painted.clear();
        besideHint.clear();
        local.clear();
        line = beside = Mean();
        const PaintCanvas& canvas = floor()->canvas();
        const int w = static_cast<int>(canvas.paintWidth);
        const int h = static_cast<int>(canvas.paintHeight);
        // The colour of each paint pixel if it is a hint, and the hint colours within two pixels.
        std::vector<int> hint(static_cast<size_t>(w) * h, -1);
        std::vector<std::vector<int>> near(hint.size());
        std::vector<glm::vec3> colours;
        for (const auto& entry : canvas.colourCounts)
            colours.push_back(entry.first);
        for (int pz = 0; pz < h; ++pz)
            for (int px = 0; px < w; ++px) {
                const float* c = &canvas.paintColours[(static_cast<size_t>(pz) * w + px) * 4];
                auto k = std::find(colours.begin(), colours.end(), glm::vec3(c[0], c[1], c[2]));
                if (c[3] <= 0.0f || c[3] >= 1.0f || k == colours.end())
                    continue;
                hint[pz * w + px] = static_cast<int>(k - colours.begin());
                for (int dz = -2; dz <= 2; ++dz)
                    for (int dx = -2; dx <= 2; ++dx)
                        if (px + dx >= 0 && pz + dz >= 0 && px + dx < w && pz + dz < h)
                            near[(pz + dz) * w + px + dx].push_back(hint[pz * w + px]);
            }
        glm::ivec2 aimed = paintPixel(scene->camera->pickCentre());
        glm::vec3 v = vehicle()->getPosition();
        auto inside = [&](glm::vec4 p) { return 0.8f - std::max(std::abs(p.x - v.x), std::abs(p.z - v.z)); };
        for (int y = 0; y < height - 1; ++y)
            for (int x = 0; x < width - 1; ++x) {
                glm::vec4 p = worldAt(x, y);
                glm::ivec2 px = paintPixel(glm::vec3(p));
                bool onFloor = p.w != 0.0f && std::abs(p.y - floor()->heightAt(p.x, p.z)) < 0.005f;
                if (!onFloor || px == aimed || px.x < 0 || px.y < 0 || px.x >= w || px.y >= h)
                    continue;
                // The reach's edge in window pixels: its light line lies within 2.5 pixels inside.
                float step
                    = std::abs(inside(worldAt(x + 1, y)) - inside(p)) + std::abs(inside(worldAt(x, y + 1)) - inside(p));
                float fromEdge = inside(p) / std::max(step, 1e-6f);
                size_t at = static_cast<size_t>(px.y) * w + px.x;
                float alpha = canvas.paintColours[at * 4 + 3];
                bool bare = alpha == 0.0f && canvas.paintedColours[at * 4 + 3] == 0.0f;
                if (bare && fromEdge >= 0.5f && fromEdge <= 1.5f)
                    line.add(colourAt(x, y));
                else if (bare && std::abs(fromEdge) >= 5.0f && std::abs(fromEdge) <= 15.0f)
                    beside.add(colourAt(x, y));
                if (std::abs(fromEdge) < 5.0f)
                    continue;
                // Also per 64 x 64 window pixels, where the light is about the same.
                int tile = (y / 64) * 64 + x / 64;
                if (canvas.paintedColours[at * 4 + 3] == 1.0f)
                    painted[hint[at]].add(colourAt(x, y));
                else if (hint[at] >= 0) {
                    hints[hint[at]].add(colourAt(x, y));
                    local[{ hint[at], tile }].first.add(colourAt(x, y));
                } else if (bare)
                    for (int k : near[at]) {
                        besideHint[k].add(colourAt(x, y));
                        local[{ k, tile }].second.add(colourAt(x, y));
                    }
            }
    }

    // Every hint in view against the others and the floor beside it; the reach line against
    // the floor beside it. Returns the line's difference.
    float expectHintsAndLineStandOut(const std::string& where)
    {
        shoot(true);
        sortPixels();
        for (const auto& [k, mean] : hints) {
            float floorDifference = deltaE(mean.value(), besideHint[k].value());
            std::cout << where << ": hint " << k << " (" << mean.count << " pixels) against the floor beside it "
                      << floorDifference << std::endl;
            EXPECT_GE(floorDifference, 20.0f) << where << ", hint " << k;
            float least = 1e9f;
            for (const auto& [place, means] : local)
                if (place.first == k && means.first.count >= 64 && means.second.count >= 64)
                    least = std::min(least, deltaE(means.first.value(), means.second.value()));
            std::cout << where << ": hint " << k << " against the floor beside it, least in a 64 x 64 window part "
                      << least << std::endl;
            EXPECT_GE(least, 20.0f) << where << ", hint " << k << " where it is lit least or most";
            for (const auto& [other, otherMean] : hints)
                if (other > k) {
                    float difference = deltaE(mean.value(), otherMean.value());
                    std::cout << where << ": hints " << k << " and " << other << " " << difference << std::endl;
                    EXPECT_GE(difference, 20.0f) << where << ", hints " << k << " and " << other;
                }
            if (painted.count(k)) {
                float difference = deltaE(mean.value(), painted[k].value());
                std::cout << where << ": hint " << k << " against its paint " << difference << std::endl;
                EXPECT_GE(difference, 20.0f) << where << ", hint " << k << " and its paint";
            }
        }
        float lineDifference = deltaE(line.value(), beside.value());
        std::cout << where << ": reach line (" << line.count << " pixels) against the floor beside it "
                  << lineDifference << std::endl;
        EXPECT_GE(line.count, 200) << where;
        return lineDifference;
    }

    // Paints every third hint pixel in view in its own colour, as a player would.
    void paintSomeHints()
    {
        const PaintCanvas& canvas = floor()->canvas();
        int n = 0;
        for (unsigned int pz = 1; pz + 1 < canvas.paintHeight; ++pz)
            for (unsigned int px = 1; px + 1 < canvas.paintWidth; ++px) {
                const float* c = &canvas.paintColours[(static_cast<size_t>(pz) * canvas.paintWidth + px) * 4];
                glm::vec2 at = pixelCentre(static_cast<int>(px), static_cast<int>(pz));
                if (c[3] > 0.0f && c[3] < 1.0f && ++n % 3 == 0)
                    floor()->paintAt(at.x, at.y, glm::vec4(c[0], c[1], c[2], 1.0f));
            }
    }

    std::map<int, Mean> hints, painted, besideHint;
    // Hint and floor beside it per colour and part of the window.
    std::map<std::pair<int, int>, std::pair<Mean, Mean>> local;
    Mean line, beside;
};

TEST_F(FloorContrastTest, HintsAndTheReachLineStandOutOnTheStartFramesOfBothLevels)
{
    float tutorialLine = expectHintsAndLineStandOut("tutorial start");
    // The sun's yellow lies out of the start view, to the left.
    lookAtFloor(1.8f, 5.95f);
    expectHintsAndLineStandOut("tutorial start, looking at the sun");
    paintSomeHints();
    expectHintsAndLineStandOut("tutorial, some hints painted");

    press(GLFW_KEY_BACKSPACE);
    frame();
    release(GLFW_KEY_BACKSPACE);
    for (int i = 0; i < 40 && (scene->levelIndex != 2 || scene->introRunning || scene->level->introPending); ++i)
        frame(0.5);
    ASSERT_EQ(scene->levelIndex, 2);
    ASSERT_FALSE(scene->introRunning);
    float serverLine = expectHintsAndLineStandOut("server room start");
    EXPECT_GE(serverLine, tutorialLine) << "the reach line reads on the server floor as on the tutorial's";
    paintSomeHints();
    expectHintsAndLineStandOut("server room, some hints painted");
}
