#include "input/InputState.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {
int width = 1024;
int height = 768;
}

TEST(InputState, FreshPressIsReportedOnceAndHeldUntilRelease)
{
    InputState input(&width, &height);
    EXPECT_FALSE(input.isDown(GLFW_KEY_W));
    EXPECT_EQ(input.states[GLFW_KEY_W], KeyState::Up) << "a query inserts an untouched key as Up";

    input.press(GLFW_KEY_W);
    EXPECT_TRUE(input.isDown(GLFW_KEY_W));
    EXPECT_EQ(input.states[GLFW_KEY_W], KeyState::Held);
    EXPECT_FALSE(input.wasPressed(GLFW_KEY_W)) << "isDown consumed the fresh press";
    input.press(GLFW_KEY_W);
    EXPECT_FALSE(input.wasPressed(GLFW_KEY_W)) << "a second press while held is not fresh";
    EXPECT_TRUE(input.isDown(GLFW_KEY_W));
    input.release(GLFW_KEY_W);
    EXPECT_FALSE(input.isDown(GLFW_KEY_W));
}

TEST(InputState, PressAndReleaseBetweenFramesIsLost)
{
    InputState input(&width, &height);
    input.press(GLFW_KEY_SPACE);
    input.release(GLFW_KEY_SPACE);
    EXPECT_FALSE(input.wasPressed(GLFW_KEY_SPACE));
    EXPECT_FALSE(input.isDown(GLFW_KEY_SPACE));

    input.press(GLFW_KEY_SPACE);
    EXPECT_TRUE(input.wasPressed(GLFW_KEY_SPACE));
    EXPECT_FALSE(input.wasPressed(GLFW_KEY_SPACE));
    EXPECT_TRUE(input.isDown(GLFW_KEY_SPACE));
}

TEST(InputState, MouseButtonsShareTheTableWithKeys)
{
    InputState input(&width, &height);
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_TRUE(input.isDown(0));
    EXPECT_FALSE(input.isDown(GLFW_MOUSE_BUTTON_RIGHT));
    EXPECT_FALSE(input.isDown(GLFW_KEY_SPACE));
}

TEST(InputState, CursorDeltaIsTheLastEventFromTheCentre)
{
    InputState input(&width, &height);
    EXPECT_EQ(input.takeCursorDelta(), glm::vec2(0.0f, 0.0f));
    input.setCursor(512 + 5, 384);
    input.setCursor(512 + 3, 384);
    EXPECT_EQ(input.takeCursorDelta(), glm::vec2(3.0f, 0.0f)) << "replaced, not added";
    EXPECT_EQ(input.takeCursorDelta(), glm::vec2(0.0f, 0.0f));

    int oddWidth = 1023;
    int oddHeight = 767;
    InputState odd(&oddWidth, &oddHeight);
    odd.setCursor(511, 383);
    EXPECT_EQ(odd.takeCursorDelta(), glm::vec2(0.0f, 0.0f)) << "centre of 1023 x 767 is (511, 383)";
    oddWidth = 640;
    odd.setCursor(330.5, 380);
    EXPECT_EQ(odd.takeCursorDelta(), glm::vec2(10.5f, -3.0f)) << "the live size is read at each event";
}

TEST(InputState, ScrollIsReplacedAndTaken)
{
    InputState input(&width, &height);
    input.setScroll(1);
    input.setScroll(1);
    EXPECT_EQ(input.takeScroll(), 1);
    EXPECT_EQ(input.takeScroll(), 0);
    input.setScroll(-1);
    EXPECT_EQ(input.takeScroll(), -1);
}
