// The crosshair's ring, read back in windows of several shapes: whole and round around the
// pixel the paint stroke reads, in step with the window's shorter side.
#include "render/Model.h"
#include "tests/world/SceneFixture.h"

#include <cmath>
#include <sstream>

class CrosshairTest : public SceneFixture {
protected:
    void TearDown() override
    {
        glViewport(0, 0, width, height);
        glClearColor(0, 0, 0, 0);
        SceneFixture::TearDown();
    }

    // The red channel of a w x h window with the crosshair drawn over mid grey, rows bottom first.
    std::vector<unsigned char> drawRing(int w, int h)
    {
        glViewport(0, 0, w, h);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->orthoShader->use();
        scene->crosshair->draw();
        std::vector<unsigned char> rgba = readPixels(0, 0, w, h);
        std::vector<unsigned char> red;
        for (size_t i = 0; i < rgba.size(); i += 4)
            red.push_back(rgba[i]);
        return red;
    }
};

TEST_F(CrosshairTest, TheRingIsWholeAndRoundInWindowsOfAnyShape)
{
    ASSERT_NE(scene->crosshair, nullptr);
    // 4 : 3 and 16 : 9 as before, and windows taller than wide.
    for (glm::ivec2 size :
        { glm::ivec2(1024, 768), glm::ivec2(1024, 576), glm::ivec2(480, 640), glm::ivec2(360, 640) }) {
        std::vector<unsigned char> red = drawRing(size.x, size.y);
        float scale = static_cast<float>(std::min(size.x, size.y)) / 768.0f;
        glm::vec2 centre(size.x / 2 + 0.5f, size.y - size.y / 2 + 0.5f);
        int light = 0, dark = 0, wrong = 0;
        for (int y = 0; y < size.y; ++y)
            for (int x = 0; x < size.x; ++x) {
                float r = glm::length(glm::vec2(x + 0.5f, y + 0.5f) - centre) / scale;
                int shown = red[static_cast<size_t>(y) * size.x + x];
                // Light from 5.5 to 9.5 ring units, dark to 12.5, nothing beyond; each border
                // smoothed over one unit.
                if (r > 12.5f) {
                    wrong += shown != 128 ? 1 : 0;
                } else if (r > 6.5f && r < 8.5f) {
                    ++light;
                    wrong += shown < 240 ? 1 : 0;
                } else if (r > 9.5f && r < 11.5f) {
                    ++dark;
                    wrong += shown > 40 ? 1 : 0;
                }
            }
        std::ostringstream where;
        where << size.x << " x " << size.y;
        EXPECT_EQ(wrong, 0) << where.str();
        // Both bands are there, in the areas their radii give.
        float pixelsPerUnit = scale * scale * 3.14159f;
        EXPECT_GT(light, 0.6f * pixelsPerUnit * (8.5f * 8.5f - 6.5f * 6.5f)) << where.str();
        EXPECT_GT(dark, 0.6f * pixelsPerUnit * (11.5f * 11.5f - 9.5f * 9.5f)) << where.str();
    }
}
