#include "tests/world/PlayFixture.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {
const float track = 0.29f;

void expectNear(glm::vec3 actual, glm::vec3 expected, float tolerance, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}
}

using ControllerTest = PlayFixture;

TEST_F(ControllerTest, ForwardAndBackTogetherEndWhereTheyStartedReversing)
{
    frame();
    glm::vec3 start = vehicle()->getPosition();
    EXPECT_NEAR(start.x, 0.808716f, 1e-6f);
    EXPECT_NEAR(start.z, 5.59216f, 1e-6f);

    press(GLFW_KEY_W);
    press(GLFW_KEY_S);
    frame();
    expectNear(vehicle()->getPosition(), start, 1e-5f, "W and S cancel out");
    EXPECT_EQ(controller->direction, -1);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, -track);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedB, -track);

    release(GLFW_KEY_S);
    frames(5);
    glm::vec3 moved = vehicle()->getPosition();
    EXPECT_NEAR(moved.z - start.z, 5 * 0.8f * frameTime, 1e-4f) << "0.8 units per second along +z";
    EXPECT_NEAR(moved.y, floor()->heightAt(moved.x, moved.z), 1e-6f) << "the vehicle stands on the floor";
    EXPECT_EQ(controller->direction, 1);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, track);
    glm::vec3 eye = moved - vehicle()->forward() * 0.2f + glm::vec3(0.0f, 0.6f, 0.0f);
    expectNear(scene->camera->position, eye, 1e-5f, "the camera follows behind and above");
    release(GLFW_KEY_W);
    frame();
    EXPECT_EQ(scene->player->trackSpeedA, 0.0f) << "tracks stand still without a drive key";
}

TEST_F(ControllerTest, ReversingIntoAWallStopsAndKeepsTheDirection)
{
    standAt(2.0f, 0.5f);
    press(GLFW_KEY_S);
    glm::vec3 last = vehicle()->getPosition();
    int frame_ = 0;
    for (; frame_ < 60; ++frame_) {
        frame(0.1);
        glm::vec3 now = vehicle()->getPosition();
        if (now == last)
            break;
        last = now;
    }
    ASSERT_LT(frame_, 60) << "the north wall stops the vehicle";
    EXPECT_GT(last.z, 0.0f) << "it stops in front of the wall, not inside it";
    EXPECT_EQ(controller->direction, -1) << "blocked while reversing: still -1";
    EXPECT_EQ(scene->player->trackSpeedA, 0.0f);

    release(GLFW_KEY_S);
    frame(0.1);
    EXPECT_EQ(controller->direction, 1);
    press(GLFW_KEY_S);
    frame(0.1);
    EXPECT_EQ(vehicle()->getPosition(), last);
    EXPECT_EQ(controller->direction, 1) << "a blocked reverse does not change the direction";

    release(GLFW_KEY_S);
    press(GLFW_KEY_W);
    frame(0.1);
    EXPECT_GT(vehicle()->getPosition().z, last.z) << "forwards, away from the wall, still works";
}

TEST_F(ControllerTest, TurningSetsTheTrackSpeedsAndSwapsWhileReversing)
{
    frame();
    glm::vec3 view = scene->camera->direction;
    press(GLFW_KEY_A);
    frame();
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, -0.6f * track);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedB, 0.6f * track);
    float r = 0.8f * static_cast<float>(frameTime);
    glm::vec3 forward = glm::normalize(vehicle()->forward());
    EXPECT_NEAR(forward.x, std::sin(glm::radians(90.0f * r)), 1e-5f) << "A turns to the left (towards +x)";
    glm::vec3 turned
        = glm::vec3(glm::rotate(glm::mat4(1.0f), glm::radians(60.0f * r), glm::vec3(0, 1, 0)) * glm::vec4(view, 0.0f));
    expectNear(scene->camera->direction, turned, 1e-5f, "the view turns 60 degrees per unit");

    press(GLFW_KEY_W);
    frame();
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, 0.6f * track);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedB, 1.2f * track);
    release(GLFW_KEY_W);
    release(GLFW_KEY_A);

    // Reversing swaps the sense of D: it turns the same way as A does going forwards.
    float before = glm::normalize(vehicle()->forward()).x;
    press(GLFW_KEY_S);
    press(GLFW_KEY_D);
    frame();
    EXPECT_EQ(controller->direction, -1);
    EXPECT_GT(glm::normalize(vehicle()->forward()).x, before);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, -1.2f * track);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedB, -0.6f * track);
    release(GLFW_KEY_S);
    float reversed = glm::normalize(vehicle()->forward()).x;
    frame();
    EXPECT_LT(glm::normalize(vehicle()->forward()).x, reversed) << "D alone turns to the right";
    EXPECT_FLOAT_EQ(scene->player->trackSpeedA, 0.6f * track);
    EXPECT_FLOAT_EQ(scene->player->trackSpeedB, -0.6f * track);
}

TEST_F(ControllerTest, FreeCameraAndKeypadLeaveTheOtherAlone)
{
    frame();
    glm::vec3 eye = scene->camera->position;
    glm::vec3 view = scene->camera->direction;
    glm::mat4 placed = vehicle()->modelMatrix;
    float step = 0.8f * static_cast<float>(frameTime);

    press(GLFW_KEY_UP);
    frame();
    expectNear(scene->camera->position, eye + view * step, 1e-5f, "up arrow: along the view");
    release(GLFW_KEY_UP);
    press(GLFW_KEY_PAGE_UP);
    press(GLFW_KEY_RIGHT);
    frame();
    expectNear(scene->camera->position,
        eye + view * step + glm::vec3(0, step, 0) + glm::cross(view, glm::vec3(0, 1, 0)) * step, 1e-5f,
        "page up and right arrow");
    release(GLFW_KEY_PAGE_UP);
    release(GLFW_KEY_RIGHT);
    EXPECT_EQ(vehicle()->modelMatrix, placed) << "the free camera does not move the vehicle";

    glm::vec3 freeEye = scene->camera->position;
    press(GLFW_KEY_KP_4);
    frame();
    glm::mat4 expected = glm::rotate(placed, glm::radians(90.0f * step), glm::vec3(0, 1, 0));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(vehicle()->modelMatrix[c][r], expected[c][r], 1e-5f);
    EXPECT_EQ(scene->camera->position, freeEye) << "keypad turns leave the camera where it is";
    release(GLFW_KEY_KP_4);
    press(GLFW_KEY_KP_5);
    press(GLFW_KEY_KP_2);
    frame();
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(vehicle()->modelMatrix[c][r], expected[c][r], 1e-5f) << "keypad 5 and 2 cancel out";
}

TEST_F(ControllerTest, MouseLookDropsJumpsOfHundredFiftyPixels)
{
    frame();
    glm::vec3 view = scene->camera->direction;
    moveMouse(glm::vec2(200.0f, 0.0f));
    frame();
    EXPECT_EQ(scene->camera->direction, view) << "200 pixels in one event are dropped";
    moveMouse(glm::vec2(0.0f, 150.0f));
    frame();
    EXPECT_EQ(scene->camera->direction, view) << "exactly 150 is dropped too";

    moveMouse(glm::vec2(149.0f, 0.0f));
    frame();
    glm::vec3 turned
        = glm::vec3(glm::rotate(glm::mat4(1.0f), glm::radians(-14.9f), glm::vec3(0, 1, 0)) * glm::vec4(view, 0.0f));
    expectNear(scene->camera->direction, turned, 1e-5f, "149 pixels turn the view by 14.9 degrees to the right");
    glm::vec3 now = scene->camera->direction;
    frame();
    EXPECT_EQ(scene->camera->direction, now) << "the offset is used once";
}

TEST_F(ControllerTest, EnterBeforeAWinIsUsedUpAndDoesNothing)
{
    frame();
    press(GLFW_KEY_ENTER);
    frame();
    EXPECT_EQ(scene->pendingLevel, -1);
    EXPECT_EQ(scene->levelIndex, 1);
    EXPECT_EQ(input->states[GLFW_KEY_ENTER], KeyState::Held) << "the press was used up";

    // Winning while Enter is still held does not move on: the press is gone.
    scene->gameState = 3;
    frame();
    EXPECT_EQ(scene->pendingLevel, -1);

    // A fresh Enter moves on; keypad Enter is not asked in that frame.
    release(GLFW_KEY_ENTER);
    press(GLFW_KEY_ENTER);
    press(GLFW_KEY_KP_ENTER);
    scene->update(frameTime);
    EXPECT_EQ(scene->pendingLevel, 2);
    EXPECT_EQ(scene->gameState, 0);
    EXPECT_EQ(input->states[GLFW_KEY_KP_ENTER], KeyState::Pressed);
}

TEST_F(ControllerTest, KeypadEnterAfterAWinMovesOn)
{
    frame();
    scene->gameState = 3;
    screens->setResult(0.8f, false);
    press(GLFW_KEY_KP_ENTER);
    scene->update(frameTime);
    EXPECT_EQ(scene->pendingLevel, 2);
    EXPECT_EQ(scene->gameState, 0);
    EXPECT_FALSE(screens->ended) << "the end screen is left";
}

TEST_F(ControllerTest, BackspaceShowsTheLoadingScreenForOneFrameThenTheServerRoom)
{
    frame();
    std::vector<unsigned char> tutorial = readPixels(0, 0, width, height);
    press(GLFW_KEY_BACKSPACE);
    frame();
    EXPECT_EQ(scene->pendingLevel, 2);
    EXPECT_EQ(scene->levelIndex, 1);
    std::vector<unsigned char> shown = readPixels(0, 0, width, height);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene->orthoShader->use();
    scene->loadingOverlay->draw();
    EXPECT_TRUE(shown == readPixels(0, 0, width, height)) << "the pending frame shows the loading picture alone";
    EXPECT_FALSE(shown == tutorial);

    frame();
    EXPECT_EQ(scene->levelIndex, 2);
    EXPECT_EQ(scene->pendingLevel, -1);
    EXPECT_EQ(scene->level->models.size(), 1u);
    EXPECT_EQ(scene->modelList->models.size(), 2u) << "the vehicle and the server room";
    EXPECT_NEAR(vehicle()->getPosition().x, 3.0f, 1e-5f);
    EXPECT_NEAR(vehicle()->getPosition().z, 9.5f, 1e-5f);
    std::vector<unsigned char> server = readPixels(0, 0, width, height);
    EXPECT_FALSE(server == shown);

    // Backspace in the server room does nothing.
    release(GLFW_KEY_BACKSPACE);
    press(GLFW_KEY_BACKSPACE);
    frame();
    EXPECT_EQ(scene->pendingLevel, -1);
    EXPECT_EQ(scene->levelIndex, 2);
}

TEST_F(ControllerTest, BackspaceFromALostTutorialLeavesTheEndScreen)
{
    frame();
    scene->gameState = 2;
    screens->setResult(0.2f, false);
    press(GLFW_KEY_BACKSPACE);
    frames(2);
    EXPECT_EQ(scene->levelIndex, 2);
    EXPECT_EQ(scene->gameState, 0) << "the server room can be played";
    EXPECT_FALSE(screens->ended);
}
