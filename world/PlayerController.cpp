#include "world/PlayerController.h"

#include "game/Heightmap.h"
#include "game/Level.h"
#include "input/InputState.h"
#include "render/Camera.h"
#include "render/Model.h"
#include "world/PlayerModel.h"
#include "world/Scene.h"

#include <GLFW/glfw3.h>

PlayerController::PlayerController(InputState* input, Scene* scene)
    : input(input), scene(scene), camera(scene->camera), player(scene->player), heightmap(scene->level->heightmap)
{
}

void PlayerController::update(float dt)
{
    if (scene->introRunning)
        return;
    const float v = 0.8f;
    player->setTrackSpeedA(0.0f);
    player->setTrackSpeedB(0.0f);
    moveCamera(v * dt);

    if (input->isDown(GLFW_KEY_W))
        drive(v * dt, 1.0f);
    if (input->isDown(GLFW_KEY_S)) {
        if (drive(-v * dt, -1.0f))
            direction = -1;
    } else {
        direction = 1;
    }
    // Multiplied by direction: the turn keys swap their sense while reversing.
    if (input->isDown(GLFW_KEY_A))
        turn(direction * v * dt, -direction);
    if (input->isDown(GLFW_KEY_D))
        turn(direction * -v * dt, direction);
    rotateFreely(v * dt);
}

void PlayerController::moveCamera(float step)
{
    if (input->isDown(GLFW_KEY_UP))
        camera->moveForward(step);
    if (input->isDown(GLFW_KEY_LEFT))
        camera->moveSideways(-step);
    if (input->isDown(GLFW_KEY_DOWN))
        camera->moveForward(-step);
    if (input->isDown(GLFW_KEY_RIGHT))
        camera->moveSideways(step);
    if (input->isDown(GLFW_KEY_PAGE_DOWN))
        camera->moveUp(-step);
    if (input->isDown(GLFW_KEY_PAGE_UP))
        camera->moveUp(step);
}

// Moves along the vehicle's own z unless the new place collides; true when the move was made.
bool PlayerController::drive(float step, float trackSpeed)
{
    glm::vec3 candidate = player->model->transformPoint(glm::vec3(0.0f, 0.0f, step));
    if (scene->collides(candidate))
        return false;
    player->translate(glm::vec3(0.0f, 0.0f, step));
    glm::vec3 p = player->position();
    player->setHeight(heightmap->heightAt(p.x, p.z));
    camera->follow(player->position(), -player->forward());
    player->setTrackSpeedA(trackSpeed);
    player->setTrackSpeedB(trackSpeed);
    return true;
}

void PlayerController::turn(float r, float steer)
{
    glm::vec3 candidate = player->model->transformPoint(glm::vec3(0.0f, r, 0.0f));
    if (scene->collides(candidate))
        return;
    player->rotate(r, glm::vec3(0.0f, 1.0f, 0.0f));
    camera->turn(r);
    camera->follow(player->position(), -player->forward());
    player->steerTracks(steer);
}

void PlayerController::rotateFreely(float step)
{
    struct KeyTurn {
        int key;
        float sign;
        glm::vec3 axis;
    };
    const KeyTurn turns[] = {
        {GLFW_KEY_KP_1, -1.0f, {0.0f, 0.0f, 1.0f}},
        {GLFW_KEY_KP_3, 1.0f, {0.0f, 0.0f, 1.0f}},
        {GLFW_KEY_KP_5, 1.0f, {1.0f, 0.0f, 0.0f}},
        {GLFW_KEY_KP_2, -1.0f, {1.0f, 0.0f, 0.0f}},
        {GLFW_KEY_KP_4, 1.0f, {0.0f, 1.0f, 0.0f}},
        {GLFW_KEY_KP_6, -1.0f, {0.0f, 1.0f, 0.0f}},
    };
    for (const KeyTurn& keyTurn : turns)
        if (input->isDown(keyTurn.key))
            player->rotate(keyTurn.sign * step, keyTurn.axis);
}
