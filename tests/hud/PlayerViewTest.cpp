// What a player sees in the real frame, with the debug display on top: the painted pixel under
// the crosshair as a sharp square, and text that stands out from whatever lies behind it.
#include "tests/hud/HudFixture.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
using Pixels = std::vector<unsigned char>;

glm::vec3 colourAt(const Pixels& frame, int x, int y)
{
    const unsigned char* p = &frame[(static_cast<size_t>(y) * GlTest::width + static_cast<size_t>(x)) * 4];
    return glm::vec3(p[0], p[1], p[2]) / 255.0f;
}

// Relative luminance of an sRGB colour, as the web accessibility guidelines define it.
float luminance(glm::vec3 c)
{
    auto linear = [](float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); };
    return 0.2126f * linear(c.r) + 0.7152f * linear(c.g) + 0.0722f * linear(c.b);
}
}

class PlayerViewTest : public HudFixture {
protected:
    // Window position of a world point in the frame the camera draws next.
    glm::vec2 onScreen(glm::vec3 point) const
    {
        glm::vec3 w = glm::project(point, scene->camera->viewMatrix(), scene->camera->projection,
            glm::vec4(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)));
        return glm::vec2(w);
    }

    // Share of the text pixels (three fifths covered or more) for which the darkest pixel
    // within 2 pixels has a contrast of 3 : 1 or more with the texts' 0.85 grey.
    float readableShare(const std::string& where)
    {
        frame();
        Pixels shown = readPixels(0, 0, width, height);
        // The texts alone on black give their coverage; the pictures' places are left out.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        screens->draw();
        hud->draw();
        Pixels text = readPixels(0, 0, width, height);
        float textLuminance = luminance(glm::vec3(0.85f));
        int total = 0;
        int readable = 0;
        for (int y = 2; y < height - 2; ++y)
            for (int x = 2; x < width - 2; ++x) {
                bool ball = x < 62 && y < 62;
                bool endPicture = std::abs(x - width / 2) < 205 && y > height - 130;
                glm::vec3 t = colourAt(text, x, y);
                if (ball || endPicture || t.r < 0.6f * 0.85f || t.r != t.g || t.g != t.b)
                    continue;
                float darkest = 1.0f;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        if (dx * dx + dy * dy <= 4)
                            darkest = std::min(darkest, luminance(colourAt(shown, x + dx, y + dy)));
                ++total;
                readable += (textLuminance + 0.05f) / (darkest + 0.05f) >= 3.0f ? 1 : 0;
            }
        EXPECT_GT(total, 500) << where << ": texts are drawn";
        return total > 0 ? static_cast<float>(readable) / static_cast<float>(total) : 0.0f;
    }
};

TEST_F(PlayerViewTest, APaintedPixelIsASharpSquareAtEveryFilterSetting)
{
    // Aimed at the middle of the paint pixel 0.6 ahead of the vehicle, within reach.
    frame();
    const PaintCanvas& canvas = floor()->canvas();
    float side = static_cast<float>(floor()->cellsX) * floor()->spacing / static_cast<float>(canvas.paintWidth);
    glm::vec3 start = vehicle()->getPosition();
    int px = static_cast<int>(start.x / side);
    int pz = static_cast<int>((start.z + 0.6f) / side);
    glm::vec2 centre = pixelCentre(px, pz);
    lookAtFloor(centre.x, centre.y);
    press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    release(GLFW_MOUSE_BUTTON_LEFT);
    ASSERT_NE(canvas.paintedColours[(static_cast<size_t>(pz) * canvas.paintWidth + px) * 4 + 3], 0.0f);
    glm::vec3 colour = floor()->currentColour();
    // The crosshair moves two pixels on, so that the aimed pixel's outline lies elsewhere.
    lookAtFloor(centre.x, centre.y + 2.0f * side);

    // Sampling bilinear or nearest; mip-mapping linear, nearest, off: F5 three times, F4, again.
    Model* crosshair = std::exchange(scene->crosshair, nullptr);
    for (int setting = 0; setting < 6; ++setting) {
        frame();
        Pixels shown = readPixels(0, 0, width, height);
        glm::vec2 inMiddle = onScreen(glm::vec3(centre.x, floor()->heightAt(centre.x, centre.y), centre.y));
        glm::vec3 middle = colourAt(shown, int(inMiddle.x), int(inMiddle.y));
        glm::vec3 hue = middle / std::max(middle.r, std::max(middle.g, middle.b));
        EXPECT_LT(glm::length(hue - colour / std::max(colour.r, std::max(colour.g, colour.b))), 0.2f) << setting;
        // A tenth of the side inside each corner, a filter would mix in 40 % of the floor beside it.
        for (glm::vec2 corner : { glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(-1, 1), glm::vec2(1, 1) }) {
            glm::vec2 at = centre + corner * 0.4f * side;
            glm::vec2 pixel = onScreen(glm::vec3(at.x, floor()->heightAt(at.x, at.y), at.y));
            EXPECT_LT(glm::length(colourAt(shown, int(pixel.x), int(pixel.y)) - middle), 0.08f) << setting;
        }
        tap(setting == 2 ? GLFW_KEY_F4 : GLFW_KEY_F5);
    }
    scene->crosshair = crosshair;
}

TEST_F(PlayerViewTest, TextsStandOutAtTheStartOfBothLevelsAndOnTheEndScreens)
{
    tap(GLFW_KEY_F2);
    for (int level = 1; level <= 2; ++level) {
        std::string name = level == 1 ? "tutorial" : "server room";
        EXPECT_GE(readableShare(name + " start"), 0.9f);
        screens->setResult(0.819f, false);
        EXPECT_GE(readableShare(name + " won"), 0.9f);
        screens->setResult(0.3f, true);
        EXPECT_GE(readableShare(name + " lost"), 0.9f);
        screens->setResult(-1.0f, false);
        if (level == 1) {
            tap(GLFW_KEY_BACKSPACE);
            frames(2);
            ASSERT_EQ(scene->levelIndex, 2);
            for (int i = 0; i < 40 && (scene->introRunning || scene->level->introPending); ++i)
                frame(0.5);
            ASSERT_FALSE(scene->introRunning);
        }
    }
}
