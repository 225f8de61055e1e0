#include "bench/BenchWorld.h"

#include "app/AppObjects.h"
#include "app/MainLoop.h"
#include "app/Startup.h"
#include "app/Window.h"
#include "game/Level.h"
#include "hud/DebugHud.h"
#include "render/Camera.h"
#include "world/PlayerModel.h"
#include "world/Scene.h"

#include <glm/glm.hpp>

BenchWorld* BenchWorld::get()
{
    static BenchWorld* world = nullptr;
    static bool tried = false;
    if (tried)
        return world;
    tried = true;
    if (!glfwInit())
        return nullptr;
    // createWindow's own glfwInit keeps the hint: the window stays hidden.
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    world = new BenchWorld();
    world->window = createWindow("tintbox benchmarks", &screenWidth, &screenHeight, false);
    createObjects(world->window, &screenWidth, &screenHeight);
    return world;
}

void BenchWorld::enterLevel(int number)
{
    Scene* scene = appObjects.scene;
    if (scene->levelIndex != number)
        scene->loadLevel(number);
    scene->level->introPending = false;
    scene->pendingLevel = -1;
    scene->gameState = 0;
    scene->level->placePlayer(scene->player->model);
    scene->camera->follow(scene->player->position(), -scene->player->forward());
}

void BenchWorld::frame(double dt)
{
    step(dt);
}

void BenchWorld::warmUp()
{
    for (int i = 0; i < 3; ++i)
        step(1.0 / 60.0);
}

void BenchWorld::step(double dt)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    appObjects.debugHud->update(static_cast<float>(dt));
    updateWorld(dt);
    drawWorld();
    appObjects.debugHud->draw();
    glFinish();
}
