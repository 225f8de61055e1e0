#include "tests/world/PlayFixture.h"

using PlaySoakTest = PlayFixture;

// Long play replaces target pictures, labels and levels again and again: nothing piles up.
TEST_F(PlaySoakTest, PictureTogglesPaintingAndLevelSwitchesLeaveObjectsAndMemoryFlat)
{
    auto round = [&] {
        for (int i = 0; i < 20; ++i) {
            press(GLFW_KEY_SPACE);
            frame();
            release(GLFW_KEY_SPACE);
        }
        moveMouse(glm::vec2(0.0f, 100.0f));
        press(GLFW_MOUSE_BUTTON_LEFT);
        frames(2);
        release(GLFW_MOUSE_BUTTON_LEFT);
        moveMouse(glm::vec2(0.0f, -100.0f));
        // The game never leaves the server room; leaving it mid-intro would strand the figure.
        scene->loadLevel(2);
        scene->level->introPending = false;
        frame();
        scene->loadLevel(1);
        frame();
    };
    round();
    int buffers = liveBuffers();
    int arrays = liveVertexArrays();
    int textures = liveTextures();
    long resident = residentKilobytes();
    for (int i = 0; i < 10; ++i)
        round();
    EXPECT_FALSE(screens->pictureShown) << "an even number of toggles";
    EXPECT_EQ(liveBuffers(), buffers);
    EXPECT_EQ(liveVertexArrays(), arrays);
    EXPECT_EQ(liveTextures(), textures);
    EXPECT_EQ(scene->modelList->models.size(), 2u) << "the vehicle and one room";
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer's quarantine keeps freed memory, so resident size means nothing there.
    EXPECT_LT(residentKilobytes() - resident, 8192) << "resident memory stays flat";
#else
    (void)resident;
#endif
}
