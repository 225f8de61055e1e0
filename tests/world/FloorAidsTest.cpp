// What the floor tells a player before a click, read back from real frames: the outline of the
// paint pixel a click lands on, in its look for in and out of reach, and hints and the reach
// line that stand out from the floor beside them.
#include "tests/support/FloorTestFiles.h"
#include "tests/world/PlayFixture.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <utility>

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

// The outline's two looks are drawn unlit, in colours of their own.
class AimMarkTest : public FloorAidsTest {
protected:
    // Checks that the outlined paint pixel is the one under the stroke's pick, in the look that
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
        EXPECT_GE(onIt[inReach ? 1 : 0], 20) << where << ": the picked pixel is outlined";
        EXPECT_EQ(onIt[inReach ? 0 : 1], 0) << where << ": in the look for " << (inReach ? "in" : "out of") << " reach";
        EXPECT_EQ(elsewhere, 0) << where << ": no other pixel is outlined";
        if (inReach) {
            const PaintCanvas& canvas = floor()->canvas();
            size_t alpha = (static_cast<size_t>(expected.y) * canvas.paintWidth + expected.x) * 4 + 3;
            EXPECT_EQ(canvas.paintedColours[alpha], 0.0f) << where;
            press(GLFW_MOUSE_BUTTON_LEFT);
            frame();
            release(GLFW_MOUSE_BUTTON_LEFT);
            EXPECT_EQ(canvas.paintedColours[alpha], 1.0f) << where << ": a click paints the outlined pixel";
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

TEST_F(AimMarkTest, TheOutlinedPixelIsTheOneAClickPaintsInAndOutOfReach)
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

TEST_F(AimMarkTest, OnSlopedFloorTheOutlinedPixelIsTheOneAClickPaints)
{
    // Ridges and valleys across x and z, 9 to 17 degrees steep; every cell stays plane.
    std::string folder = makeTempDir("aim-slopes");
    auto zigzag = [](int i, int period, int rise) { return std::abs(i % (2 * period) - period) * rise; };
    std::string heights = writePng(folder + "/heights.png", 56, 76,
        [&](int c, int r) { return glm::ivec4(40 + zigzag(c, 7, 2) + zigzag(r, 9, 1), 0, 0, 255); });
    std::string paint = writeFlatPng(folder + "/paint.png", 110, 150, { 0, 0, 0, 0 });
    std::string original = writeFlatPng(folder + "/original.png", 110, 150, { 200, 40, 40, 255 });
    // A dim floor, so that no lit pixel takes the outline's colours.
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

