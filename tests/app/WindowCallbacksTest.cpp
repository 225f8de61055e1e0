#include "app/AppObjects.h"
#include "app/MainLoop.h"
#include "app/Window.h"
#include "input/InputState.h"
#include "tests/support/GlTest.h"

class WindowCallbacks : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        screenWidth = width;
        screenHeight = height;
        input = new InputState(&screenWidth, &screenHeight);
        appObjects.input = input;
    }
    void TearDown() override
    {
        appObjects.input = nullptr;
        delete input;
        screenWidth = 1024;
        screenHeight = 768;
        glViewport(0, 0, width, height);
        GlTest::TearDown();
    }
    InputState* input = nullptr;
};

TEST_F(WindowCallbacks, KeysAndButtonsIgnoreRepeats)
{
    onKey(window(), GLFW_KEY_W, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(input->wasPressed(GLFW_KEY_W));
    onKey(window(), GLFW_KEY_W, 0, GLFW_REPEAT, 0);
    EXPECT_FALSE(input->wasPressed(GLFW_KEY_W)) << "auto-repeat is not a new press";
    EXPECT_TRUE(input->isDown(GLFW_KEY_W));
    onKey(window(), GLFW_KEY_W, 0, GLFW_RELEASE, 0);
    EXPECT_FALSE(input->isDown(GLFW_KEY_W));

    onMouseButton(window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_TRUE(input->isDown(0));
    onMouseButton(window(), GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_FALSE(input->isDown(0));
}

TEST_F(WindowCallbacks, ScrollStepsAreTruncatedTowardsZero)
{
    onScroll(window(), 0.0, 0.5);
    EXPECT_EQ(input->takeScroll(), 0);
    onScroll(window(), 3.0, -1.0);
    EXPECT_EQ(input->takeScroll(), -1);
    onScroll(window(), 0.0, -1.7);
    EXPECT_EQ(input->takeScroll(), -1);
}

TEST_F(WindowCallbacks, CursorMovementIsMeasuredFromTheCentre)
{
    onCursorPos(window(), 522, 384);
    EXPECT_EQ(input->takeCursorDelta(), glm::vec2(10.0f, 0.0f));
    onCursorPos(window(), 512, 380);
    EXPECT_EQ(input->takeCursorDelta(), glm::vec2(0.0f, -4.0f));
}

TEST_F(WindowCallbacks, ResizeUpdatesTheScreenSizeAndViewport)
{
    onWindowSize(window(), 640, 480);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

TEST(FrameRateTitle, ShowsTheRateOfTheCurrentFrame)
{
    EXPECT_EQ(fpsTitle("Tintbox v0.001", 1.0 / 60.0), "Tintbox v0.001 @ 60.000000 fps");
    EXPECT_EQ(fpsTitle("Tintbox v0.001", 2.5), "Tintbox v0.001 @ 0.400000 fps");
}

TEST_F(WindowCallbacks, TitleCountdownDropsTheOvershoot)
{
    const double interval = 0.1f;
    double countdown = interval;
    updateFpsTitle(countdown, interval, 0.016, window(), "Tintbox v0.001");
    EXPECT_DOUBLE_EQ(countdown, interval - 0.016);
    for (int frame = 0; frame < 5; ++frame)
        updateFpsTitle(countdown, interval, 0.016, window(), "Tintbox v0.001");
    EXPECT_GT(countdown, 0.0) << "six frames of 16 ms do not reach 0.1 s";
    updateFpsTitle(countdown, interval, 0.016, window(), "Tintbox v0.001");
    EXPECT_DOUBLE_EQ(countdown, interval) << "reset to the full interval, overshoot dropped";
    updateFpsTitle(countdown, interval, 3.0, window(), "Tintbox v0.001");
    EXPECT_DOUBLE_EQ(countdown, interval) << "a long frame refreshes at once";
}

TEST_F(WindowCallbacks, MainLoopEndsOnACloseRequest)
{
    glfwSetWindowShouldClose(window(), GLFW_TRUE);
    mainLoop(window(), "Tintbox v0.001");
    glfwSetWindowShouldClose(window(), GLFW_FALSE);
    SUCCEED() << "the loop returned instead of running on";
}
