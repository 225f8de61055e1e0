// Window faults on the real start-up objects: sizes of 1 x 1 and 0 x 0 (a minimised window),
// rapid resizes and hundreds of toggles of the target picture, each followed by whole frames
// of the main loop. The scene needs the default textures as names 1 and 2, so each test needs
// a process of its own (ctest gives it one).
#include "app/AppObjects.h"
#include "app/MainLoop.h"
#include "app/Startup.h"
#include "app/Window.h"
#include "hud/DebugHud.h"
#include "input/InputState.h"
#include "overlay/GameScreens.h"
#include "render/Camera.h"
#include "tests/support/GlTest.h"
#include "world/Scene.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {
int liveTextures()
{
    int count = 0;
    for (GLuint name = 1; name < 4000; ++name)
        count += glIsTexture(name) ? 1 : 0;
    return count;
}

bool finite(const glm::mat4& matrix)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(matrix[c][r]))
                return false;
    return true;
}
}

class WindowRobustness : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (glIsTexture(1) || glIsTexture(2) || appObjects.scene)
            GTEST_SKIP() << "needs a fresh process: run it through ctest";
        screenWidth = width;
        screenHeight = height;
        createObjects(window(), &screenWidth, &screenHeight);
        ASSERT_NE(appObjects.scene, nullptr);
        EXPECT_EQ(glErrors(), "") << "start-up";
    }

    void TearDown() override
    {
        glViewport(0, 0, width, height);
        GlTest::TearDown();
    }

    // Whole frames of the main loop, at 60 frames per second.
    void frames(int count)
    {
        for (int frame = 0; frame < count; ++frame) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glfwPollEvents();
            appObjects.debugHud->update(1.0f / 60.0f);
            updateWorld(1.0 / 60.0);
            drawWorld();
            appObjects.debugHud->draw();
            glfwSwapBuffers(window());
        }
    }

    GLint shadowSide(GLenum which)
    {
        GLint side = 0;
        glActiveTexture(GL_TEXTURE4);
        glBindTexture(GL_TEXTURE_2D, appObjects.scene->shadowTexture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &side);
        return side;
    }

    // Frames at the full size draw the scene again: the centre of the window is not black.
    void expectSceneDrawnAtFullSize()
    {
        onWindowSize(window(), width, height);
        frames(2);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
        EXPECT_EQ(shadowSide(GL_TEXTURE_WIDTH), width);
        EXPECT_EQ(shadowSide(GL_TEXTURE_HEIGHT), height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        updateWorld(1.0 / 60.0);
        drawWorld();
        std::vector<unsigned char> centre = readPixels(width / 2 - 50, height / 2 - 50, 100, 100);
        int lit = 0;
        for (size_t p = 0; p < centre.size(); p += 4)
            lit += centre[p] + centre[p + 1] + centre[p + 2] > 0 ? 1 : 0;
        EXPECT_GT(lit, 1000) << "the scene is drawn again";
        EXPECT_TRUE(finite(appObjects.scene->camera->projection));
    }
};

TEST_F(WindowRobustness, TinyAndMinimisedWindowsAreSurvivedAndRestored)
{
    frames(3);
    onWindowSize(window(), 1, 1);
    frames(3);
    EXPECT_EQ(glErrors(), "") << "1 x 1";
    EXPECT_EQ(shadowSide(GL_TEXTURE_WIDTH), 1);
    EXPECT_TRUE(finite(appObjects.scene->camera->projection));

    // Minimised: the scene keeps its last size-dependent parts and draws nothing.
    for (glm::ivec2 size : { glm::ivec2(0, 0), glm::ivec2(0, 500), glm::ivec2(700, 0) }) {
        onWindowSize(window(), size.x, size.y);
        frames(3);
        EXPECT_EQ(glErrors(), "") << size.x << " x " << size.y;
        EXPECT_EQ(screenWidth, size.x);
        EXPECT_EQ(shadowSide(GL_TEXTURE_WIDTH), 1) << "a window without area rebuilds nothing";
        EXPECT_TRUE(finite(appObjects.scene->camera->projection));
    }
    expectSceneDrawnAtFullSize();
}

TEST_F(WindowRobustness, RealResizeRequestsReachTheCallback)
{
    glfwSetWindowSizeCallback(window(), onWindowSize);
    for (glm::ivec2 size : { glm::ivec2(1, 1), glm::ivec2(320, 240), glm::ivec2(width, height) }) {
        glfwSetWindowSize(window(), size.x, size.y);
        auto start = std::chrono::steady_clock::now();
        while (screenWidth != size.x && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            frames(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(screenWidth, size.x);
        EXPECT_EQ(screenHeight, size.y);
        EXPECT_EQ(glErrors(), "") << size.x << " x " << size.y;
    }
    // Iconifying may do nothing without a window manager; whatever it does must be survived.
    glfwIconifyWindow(window());
    frames(5);
    glfwRestoreWindow(window());
    frames(5);
    glfwSetWindowSizeCallback(window(), nullptr);
    expectSceneDrawnAtFullSize();
}

TEST_F(WindowRobustness, RapidResizesLeaveNoErrorsAndNoGrowingTextureCount)
{
    frames(2);
    int before = liveTextures();
    const glm::ivec2 sizes[]
        = { { 800, 600 }, { 0, 0 }, { 1, 1 }, { 1920, 1080 }, { 0, 0 }, { 2, 3000 }, { 3000, 2 }, { 640, 480 } };
    for (int round = 0; round < 40; ++round) {
        const glm::ivec2& size = sizes[round % 8];
        onWindowSize(window(), size.x, size.y);
        if (round % 3 == 0)
            frames(1);
    }
    EXPECT_EQ(glErrors(), "");
    expectSceneDrawnAtFullSize();
    EXPECT_EQ(liveTextures(), before) << "every resize replaces the shadow map it had";
}

TEST_F(WindowRobustness, HundredsOfTargetPictureTogglesKeepOneTexture)
{
    frames(2);
    int before = liveTextures();
    GameScreens* screens = appObjects.scene->gameScreens;
    // Small frames keep the test quick; the picture is reloaded and refitted at every toggle.
    onWindowSize(window(), 320, 240);
    for (int toggle = 0; toggle < 300; ++toggle) {
        appObjects.input->press(GLFW_KEY_SPACE);
        frames(1);
        appObjects.input->release(GLFW_KEY_SPACE);
        EXPECT_EQ(screens->pictureShown, toggle % 2 == 0) << toggle;
        if (toggle % 50 == 7) {
            // Minimised and back while the picture is shown (or not).
            onWindowSize(window(), 0, 0);
            frames(1);
            onWindowSize(window(), 320, 240);
            EXPECT_EQ(screens->pictureShown, toggle % 2 == 0) << "a resize keeps the view " << toggle;
        }
    }
    EXPECT_EQ(glErrors(), "");
    EXPECT_FALSE(screens->pictureShown) << "an even number of toggles";
    EXPECT_EQ(liveTextures(), before + 1) << "only the last loaded picture stays";

    // Shown, the target picture covers the centre of the window.
    appObjects.input->press(GLFW_KEY_SPACE);
    frames(1);
    appObjects.input->release(GLFW_KEY_SPACE);
    EXPECT_TRUE(screens->pictureShown);
    expectSceneDrawnAtFullSize();
}
