// What the floor tells a player before a click, read back from real frames: the mark on the
// paint pixel a click lands on, and hints and the reach line standing out from the floor.
#include "tests/support/FloorTestFiles.h"
#include "tests/world/PlayFixture.h"

#include <glm/gtc/type_ptr.hpp>

#include <iostream>
#include <map>

namespace {
// CIE 1976 colour difference of two sRGB colours, through L*a*b* (D65).
float deltaE(glm::vec3 a, glm::vec3 b)
{
    auto lab = [](glm::vec3 s) {
        auto linear = [](float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); };
        glm::vec3 xyz = glm::mat3(0.4124f, 0.2126f, 0.0193f, 0.3576f, 0.7152f, 0.1192f, 0.1805f, 0.0722f, 0.9505f)
            * glm::vec3(linear(s.r), linear(s.g), linear(s.b)) / glm::vec3(0.95047f, 1.0f, 1.08883f);
        auto f = [](float t) { return t > 0.008856f ? std::cbrt(t) : t * 7.787f + 16.0f / 116.0f; };
        return glm::vec3(116.0f * f(xyz.y) - 16.0f, 500.0f * (f(xyz.x) - f(xyz.y)), 200.0f * (f(xyz.y) - f(xyz.z)));
    };
    return glm::length(lab(a) - lab(b));
}
}

class FloorAidsTest : public PlayFixture {
protected:
    // A frame without the crosshair (and without the models unless asked for), read back: each
    // window pixel's colour, and the point drawn there with the paint pixel under it.
    void shoot(bool models)
    {
        Model* crosshair = std::exchange(scene->crosshair, nullptr);
        std::vector<Model*> all = scene->modelList->models;
        scene->modelList->models.resize(models ? all.size() : 0);
        frame();
        scene->crosshair = crosshair;
        scene->modelList->models = all;
        std::vector<unsigned char> rgba = readPixels(0, 0, width, height);
        std::vector<float> depth(rgba.size() / 4);
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glm::mat4 toWorld = glm::inverse(scene->camera->projection * scene->camera->viewMatrix());
        colours.resize(depth.size());
        points.resize(depth.size());
        for (size_t i = 0; i < depth.size(); ++i) {
            colours[i] = glm::vec3(glm::make_vec3(&rgba[i * 4])) / 255.0f;
            glm::vec2 xy = glm::vec2(i % width + 0.5f, i / width + 0.5f) / glm::vec2(width, height);
            glm::vec4 p = toWorld * glm::vec4(xy * 2.0f - 1.0f, depth[i] * 2 - 1, 1);
            points[i] = depth[i] < 1.0f ? p / p.w : glm::vec4(0.0f);
        }
    }
    // The paint pixel under a floor point, found as a stroke finds it.
    glm::ivec2 paintPixel(glm::vec4 at) const
    {
        const PaintCanvas& c = floor()->canvas();
        return glm::ivec2(glm::floor(glm::vec2(c.paintWidth / (floor()->cellsX * floor()->spacing) * at.x,
            c.paintHeight / (floor()->cellsZ * floor()->spacing) * at.z)));
    }

    // The mark (a white outline in reach, a red pixel out of it, drawn unlit) lies on the paint
    // pixel under the stroke's pick, seen from the vehicle towards (dx, dz), and nowhere else; a
    // click in reach paints that pixel.
    void expectMarkOnThePick(float dx, float dz, bool inReach, const std::string& where)
    {
        glm::vec3 p = vehicle()->getPosition();
        lookAtFloor(p.x + dx, p.z + dz);
        shoot(false);
        glm::vec3 hit = scene->camera->pickCentre();
        ASSERT_EQ(inReach, hit.x > p.x - 0.8f && hit.x < p.x + 0.8f && hit.z > p.z - 0.8f && hit.z < p.z + 0.8f);
        glm::ivec2 at = paintPixel(glm::vec4(hit, 1));
        ASSERT_TRUE(at.x > 0 && at.y > 0 && at.x < int(floor()->paintWidth()) && at.y < int(floor()->paintHeight()));
        int marked = 0, wrong = 0;
        for (size_t i = 0; i < colours.size(); ++i) {
            glm::ivec3 c(glm::round(colours[i] * 255.0f));
            bool white = c == glm::ivec3(255), red = c == glm::ivec3(255, 51, 38);
            if (white || red)
                (paintPixel(points[i]) == at && white == inReach ? marked : wrong)++;
        }
        EXPECT_GE(marked, 20) << where;
        EXPECT_EQ(wrong, 0) << where;
        const float* painted = &floor()->canvas().paintedColours[(at.y * floor()->paintWidth() + at.x) * 4 + 3];
        float before = *painted;
        press(GLFW_MOUSE_BUTTON_LEFT);
        frame();
        release(GLFW_MOUSE_BUTTON_LEFT);
        EXPECT_EQ(*painted, inReach ? 1.0f : before) << where << ": a click paints the marked pixel, if in reach";
    }

    std::vector<glm::vec3> colours;
    std::vector<glm::vec4> points;
};

TEST_F(FloorAidsTest, TheMarkedPixelIsTheOneAClickPaintsInAndOutOfReachAfterTurnsAndOnSlopes)
{
    // The start view meets the floor 1.0 ahead. The stroke reads the depth half a pixel above
    // the centre, about 0.0006 farther on the floor at 0.55 ahead: aimed 0.0003 short of a
    // pixel's far edge, it paints the pixel beyond.
    glm::ivec2 pixel = paintPixel(glm::vec4(vehicle()->getPosition() + glm::vec3(0.1f, 0, 0.55f), 1));
    glm::vec2 edge = (pixelCentre(pixel.x, pixel.y) + pixelCentre(pixel.x, pixel.y + 1)) / 2.0f
        - glm::vec2(vehicle()->getPosition().x, vehicle()->getPosition().z + 0.0003f);
    expectMarkOnThePick(0, 1.0f, false, "start view");
    expectMarkOnThePick(edge.x, edge.y, true, "just short of a pixel's edge");
    EXPECT_EQ(floor()->canvas().paintedColours[((pixel.y + 1) * floor()->paintWidth() + pixel.x) * 4 + 3], 1.0f);
    press(GLFW_KEY_W);
    frames(20);
    release(GLFW_KEY_W);
    press(GLFW_KEY_A);
    frames(12);
    release(GLFW_KEY_A);
    expectMarkOnThePick(-0.2f, 0.79f, true, "after a turn, 0.79 ahead");
    expectMarkOnThePick(0.79f, 0.3f, true, "after a turn, 0.79 to the left");
    expectMarkOnThePick(0.1f, 0.81f, false, "after a turn, 0.81 ahead");

    // Ridges and valleys across x and z, 9 and 17 degrees steep, every cell plane; dim, so that
    // no lit pixel takes the mark's colours.
    std::string folder = makeTempDir("aim-slopes");
    auto zigzag = [](int i, int period, int rise) { return std::abs(i % (2 * period) - period) * rise; };
    floor()->loadFloor(writePng(folder + "/heights.png", 56, 76,
                           [&](int c, int r) { return glm::ivec4(40 + zigzag(c, 7, 2) + zigzag(r, 9, 1), 0, 0, 255); }),
        floor()->floorTexture, Material { glm::vec4(0.5f), glm::vec4(0.5f), glm::vec4(0.0f) });
    floor()->loadPictures(writeFlatPng(folder + "/paint.png", 110, 150, { 0, 0, 0, 0 }), 3,
        writeFlatPng(folder + "/original.png", 110, 150, { 200, 40, 40, 255 }), 1);
    for (glm::vec2 place : { glm::vec2(1.43f, 2.22f), glm::vec2(2.13f, 4.07f), glm::vec2(3.22f, 5.63f) }) {
        standAt(place.x, place.y);
        expectMarkOnThePick(0.45f, 0.4f, true, "on slopes at x " + std::to_string(place.x));
        expectMarkOnThePick(-0.3f, 0.79f, true, "on slopes at x " + std::to_string(place.x));
        expectMarkOnThePick(0.2f, 1.2f, false, "on slopes at x " + std::to_string(place.x));
    }
}

// Mean colours of floor pixels by what the paint picture holds under them: hint colour k, paint
// over it (10 + k), the reach's light line (30) and bare floor beside it (31); and per 64 x 64
// part of the window, where the light is about the same, hints (100 per part + k) and bare floor
// (100 per part + 50).
TEST_F(FloorAidsTest, HintsPaintAndTheReachLineStandOutOnTheStartFramesOfBothLevels)
{
    auto measure = [&](const std::string& where) {
        shoot(true);
        const PaintCanvas& canvas = floor()->canvas();
        glm::vec3 v = vehicle()->getPosition();
        auto inside
            = [&](size_t i) { return 0.8f - std::max(std::abs(points[i].x - v.x), std::abs(points[i].z - v.z)); };
        glm::ivec2 aimed = paintPixel(glm::vec4(scene->camera->pickCentre(), 1));
        std::map<int, glm::dvec4> sums; // colour and count
        for (size_t i = 0; i + width + 1 < points.size(); ++i) {
            glm::vec4 p = points[i];
            glm::ivec2 at = paintPixel(p);
            size_t pixel = (static_cast<size_t>(at.y) * canvas.paintWidth + at.x) * 4;
            if (p.w == 0 || std::abs(p.y - floor()->heightAt(p.x, p.z)) > 0.005f || at == aimed)
                continue;
            float alpha = canvas.paintColours[pixel + 3];
            auto hint = canvas.colourCounts.find(glm::make_vec3(&canvas.paintColours[pixel]));
            int k = static_cast<int>(std::distance(canvas.colourCounts.begin(), hint));
            int kind = alpha == 0 ? 50 : alpha < 1 && hint != canvas.colourCounts.end() ? k : -1;
            kind += kind >= 0 && kind < 50 && canvas.paintedColours[pixel + 3] > 0 ? 10 : 0;
            // In window pixels from the reach's edge, inwards; its light line lies up to 2.5 in.
            float fromEdge
                = inside(i) / (std::abs(inside(i + 1) - inside(i)) + std::abs(inside(i + width) - inside(i)));
            glm::dvec4 colour(colours[i], 1.0);
            if (kind == 50 && fromEdge >= 0.5f && fromEdge <= 1.5f)
                sums[30] += colour;
            else if (kind == 50 && std::abs(fromEdge) > 5 && std::abs(fromEdge) < 15)
                sums[31] += colour;
            if (kind >= 0 && std::abs(fromEdge) > 5)
                sums[kind] += colour, sums[100 * (1 + int(i / width / 64 * 16 + i % width / 64)) + kind] += colour;
        }
        auto mean = [&](int key) { return glm::vec3(glm::dvec3(sums[key]) / sums[key].w); };
        for (int k = 0; k < 10; ++k) {
            if (!sums.count(k))
                continue;
            float least = 1e9f;
            for (const auto& [key, sum] : sums)
                if (key > 100 && key % 100 == k && sum.w >= 64 && sums[key - k + 50].w >= 64)
                    least = std::min(least, deltaE(mean(key), mean(key - k + 50)));
            std::cout << where << ": hint " << k << " to the floor beside it, least in a part " << least << "\n";
            EXPECT_GE(least, 20.0f) << where << ", hint " << k;
            for (int other = k + 1; other <= 10 + k; ++other)
                if (sums.count(other) && (other < 10 || other == 10 + k)) {
                    std::cout << where << ": hint " << k << " to " << other << " " << deltaE(mean(k), mean(other))
                              << "\n";
                    EXPECT_GE(deltaE(mean(k), mean(other)), 20.0f) << where << ", hint " << k << " and " << other;
                }
        }
        std::cout << where << ": reach line to floor " << deltaE(mean(30), mean(31)) << std::endl;
        EXPECT_GE(sums[30].w, 200) << where;
        return deltaE(mean(30), mean(31));
    };
    // Every third hint painted in its own colour.
    auto paintEveryThirdHint = [&] {
        const PaintCanvas& canvas = floor()->canvas();
        for (unsigned int p = 0, n = 0; p < canvas.paintWidth * canvas.paintHeight; ++p)
            if (const float* c = &canvas.paintColours[p * 4];
                c[3] > 0 && c[3] < 1 && canvas.colourCounts.count(glm::make_vec3(c)) && ++n % 3 == 0) {
                glm::vec2 at = pixelCentre(int(p % canvas.paintWidth), int(p / canvas.paintWidth));
                floor()->paintAt(at.x, at.y, glm::vec4(glm::make_vec3(c), 1));
            }
    };

    float tutorialLine = measure("tutorial start");
    lookAtFloor(1.8f, 5.95f); // the sun, whose yellow lies out of the start view to the left
    paintEveryThirdHint();
    measure("tutorial, looking at the sun");
    press(GLFW_KEY_BACKSPACE);
    frame();
    release(GLFW_KEY_BACKSPACE);
    for (int i = 0; i < 40 && (scene->levelIndex != 2 || scene->introRunning || scene->level->introPending); ++i)
        frame(0.5);
    EXPECT_GE(measure("server room start"), tutorialLine) << "the reach line reads on the server floor as well";
    paintEveryThirdHint();
    measure("server room, paint on hints");
}
