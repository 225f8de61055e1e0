#include "tests/world/PlayFixture.h"

#include <FreeImage.h>

#include <cstdlib>

namespace {
struct Target {
    int px;
    int pz;
    glm::vec3 colour;
};

glm::vec4 pixel(const std::vector<float>& colours, size_t p)
{
    return glm::vec4(colours[p * 4], colours[p * 4 + 1], colours[p * 4 + 2], colours[p * 4 + 3]);
}

int budgetLeft(const Heightmap* hm)
{
    int left = 0;
    for (const auto& entry : hm->colourCounts())
        left += entry.second;
    return left;
}

// Keeps a picture of the window for a person to look at, when TINTBOX_SHOTS names a folder.
void keepShot(const std::vector<unsigned char>& rgba, int width, int height, const std::string& name)
{
    const char* folder = std::getenv("TINTBOX_SHOTS");
    if (!folder)
        return;
    FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(picture, y);
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            row[x * 3 + FI_RGBA_RED] = p[0];
            row[x * 3 + FI_RGBA_GREEN] = p[1];
            row[x * 3 + FI_RGBA_BLUE] = p[2];
        }
    }
    FreeImage_Save(FIF_PNG, picture, (std::string(folder) + "/" + name).c_str(), 0);
    FreeImage_Unload(picture);
}
}

class PlayThroughTest : public PlayFixture {
protected:
    std::vector<Target> targets() const
    {
        const PaintCanvas& canvas = floor()->canvas();
        std::vector<Target> found;
        for (unsigned int pz = 0; pz < canvas.paintHeight; ++pz)
            for (unsigned int px = 0; px < canvas.paintWidth; ++px) {
                glm::vec4 c = pixel(canvas.targetColours, pz * canvas.paintWidth + px);
                if (c.a == 1.0f)
                    found.push_back({ static_cast<int>(px), static_cast<int>(pz), glm::vec3(c) });
            }
        return found;
    }

    bool nearTarget(int px, int pz) const
    {
        const PaintCanvas& canvas = floor()->canvas();
        for (int dz = -1; dz <= 1; ++dz)
            for (int dx = -1; dx <= 1; ++dx) {
                size_t p = static_cast<size_t>(pz + dz) * canvas.paintWidth + static_cast<size_t>(px + dx);
                if (pixel(canvas.targetColours, p).a != 0.0f)
                    return true;
            }
        return false;
    }

    // Turns the wheel one notch at a time until `colour` is current.
    void selectColour(glm::vec3 colour)
    {
        bool turned = false;
        for (int i = 0; i < 10 && floor()->currentColour() != colour; ++i) {
            turned = true;
            input->setScroll(1);
            frame();
        }
        ASSERT_EQ(floor()->currentColour(), colour);
        // The scene starts with a blue brush whatever the level's first colour; the wheel sets it.
        if (turned) {
            EXPECT_EQ(scene->brushColour, glm::vec4(colour, 1.0f));
        }
        EXPECT_EQ(screens->ballColour, colour);
        EXPECT_EQ(screens->ballCount, floor()->currentColourCount());
    }

    // Drives up to the paint pixel, looks at it and holds the left button for one frame.
    void paintPixel(int px, int pz)
    {
        glm::vec2 at = pixelCentre(px, pz);
        float depth = static_cast<float>(floor()->cellsZ) * floor()->spacing;
        standAt(at.x, at.y < depth / 2 ? at.y + 0.5f : at.y - 0.5f);
        lookAtFloor(at.x, at.y);
        press(GLFW_MOUSE_BUTTON_LEFT);
        frame();
        release(GLFW_MOUSE_BUTTON_LEFT);
    }
};

TEST_F(PlayThroughTest, TutorialPaintedRightIsWonThenTheServerRoomAndItsIntroFollow)
{
    frame();
    std::vector<Target> all = targets();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(budgetLeft(floor()), static_cast<int>(all.size())) << "one unit of budget per target pixel";

    for (const auto& entry : floor()->colourCounts()) {
        selectColour(entry.first);
        for (const Target& target : all) {
            if (target.colour != entry.first)
                continue;
            int before = budgetLeft(floor());
            paintPixel(target.px, target.pz);
            if (scene->gameState != 0)
                break;
            size_t p = static_cast<size_t>(target.pz) * floor()->paintWidth() + static_cast<size_t>(target.px);
            ASSERT_EQ(pixel(floor()->canvas().paintedColours, p), glm::vec4(target.colour, 1.0f))
                << "pixel " << target.px << ", " << target.pz;
            EXPECT_EQ(budgetLeft(floor()), before - 1);
            EXPECT_EQ(screens->ballCount, floor()->currentColourCount()) << "the indicator counts down";
        }
    }
    EXPECT_EQ(budgetLeft(floor()), 0);
    ASSERT_EQ(scene->gameState, 3) << "won";
    EXPECT_FLOAT_EQ(screens->result, 1.0f);
    EXPECT_TRUE(screens->ended);
    EXPECT_FALSE(screens->hideNext) << "the tutorial offers the next level";
    frame();
    keepShot(readPixels(0, 0, width, height), width, height, "won.png");

    // Decided: the buttons and the wheel no longer change anything.
    glm::vec3 colour = floor()->currentColour();
    std::vector<float> painted = floor()->canvas().paintedColours;
    input->setScroll(1);
    press(GLFW_MOUSE_BUTTON_RIGHT);
    frame();
    release(GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_EQ(floor()->currentColour(), colour);
    EXPECT_TRUE(floor()->canvas().paintedColours == painted);

    press(GLFW_KEY_ENTER);
    frame();
    EXPECT_EQ(scene->pendingLevel, 2);
    EXPECT_EQ(scene->gameState, 0);
    EXPECT_FALSE(screens->ended);
    frame();
    ASSERT_EQ(scene->levelIndex, 2);
    EXPECT_GT(budgetLeft(floor()), 0) << "the server room has its own budgets";
    frame(0.1);
    EXPECT_TRUE(scene->introRunning);
    int count = 0;
    while (scene->introRunning && count++ < 100) {
        frame(0.1);
        // Half-way through the intro the figure walks between the racks.
        if (count == 35)
            keepShot(readPixels(0, 0, width, height), width, height, "server.png");
    }
    EXPECT_FALSE(scene->introRunning);
    EXPECT_EQ(scene->camera->direction, glm::vec3(-2.0f, -1.0f, 0.0f));
}

TEST_F(PlayThroughTest, PaintSpentOnTheWrongPixelsLoses)
{
    frame();
    const PaintCanvas& canvas = floor()->canvas();
    for (const auto& entry : floor()->colourCounts()) {
        selectColour(entry.first);
        int px = 2;
        int pz = 2;
        while (floor()->currentColourCount() > 0 && scene->gameState == 0) {
            if (!nearTarget(px, pz))
                paintPixel(px, pz);
            px += 3;
            if (px >= static_cast<int>(canvas.paintWidth) - 2) {
                px = 2;
                pz += 3;
            }
            ASSERT_LT(pz, static_cast<int>(canvas.paintHeight) - 2) << "ran out of pixels to spoil";
        }
    }
    ASSERT_EQ(scene->gameState, 2) << "lost";
    EXPECT_EQ(screens->result, 0.0f);
    EXPECT_TRUE(screens->hideNext) << "no next level after a loss";
    frame();
    keepShot(readPixels(0, 0, width, height), width, height, "lost.png");

    press(GLFW_KEY_ENTER);
    frame();
    EXPECT_EQ(scene->pendingLevel, -1) << "Enter does not move on from a loss";
    EXPECT_EQ(scene->gameState, 2);
}

TEST_F(PlayThroughTest, LookingDownBringsTheCrosshairIntoReachRightWipesTheWheelCycles)
{
    frame();
    int budget = budgetLeft(floor());
    press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    EXPECT_EQ(budgetLeft(floor()), budget) << "the start view meets the floor 1.0 ahead: out of reach";

    moveMouse(glm::vec2(0.0f, 100.0f));
    frame();
    EXPECT_EQ(budgetLeft(floor()), budget - 1) << "10 degrees down the crosshair is about 0.6 ahead";
    EXPECT_EQ(screens->ballCount, floor()->currentColourCount());
    frame();
    EXPECT_EQ(budgetLeft(floor()), budget - 1) << "holding on the same pixel costs nothing more";
    release(GLFW_MOUSE_BUTTON_LEFT);

    glm::vec3 hit = scene->camera->pickCentre();
    ASSERT_EQ(hit, hit);
    press(GLFW_MOUSE_BUTTON_RIGHT);
    frame();
    release(GLFW_MOUSE_BUTTON_RIGHT);
    const PaintCanvas& canvas = floor()->canvas();
    int alive = 0;
    for (size_t p = 0; p < canvas.paintWidth * canvas.paintHeight; ++p)
        alive += pixel(canvas.paintedColours, p).a != 0.0f ? 1 : 0;
    EXPECT_EQ(alive, 0) << "the right button wiped the pixel";
    EXPECT_EQ(budgetLeft(floor()), budget - 1) << "a wipe gives nothing back";

    // The reach is a strict square of 0.8 around the vehicle.
    glm::vec2 at = pixelCentre(20, 30);
    standAt(at.x, at.y - 0.805f);
    lookAtFloor(at.x, at.y);
    press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    EXPECT_EQ(budgetLeft(floor()), budget - 1) << "0.805 away is out of reach";
    standAt(at.x, at.y - 0.79f);
    lookAtFloor(at.x, at.y);
    frame();
    release(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_EQ(budgetLeft(floor()), budget - 2) << "0.79 away is in reach";

    glm::vec3 first = floor()->currentColour();
    input->setScroll(0);
    frame();
    EXPECT_EQ(floor()->currentColour(), first);
    input->setScroll(-1);
    frame();
    glm::vec3 second = floor()->currentColour();
    EXPECT_NE(second, first);
    EXPECT_EQ(scene->brushColour, glm::vec4(second, 1.0f));
    EXPECT_EQ(screens->ballColour, second);
    EXPECT_EQ(screens->ballCount, floor()->currentColourCount());
}
