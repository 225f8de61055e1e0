// A real game world on the test window, built as start-up builds it (font, input, game screens,
// scene, controller), and frames run as the main loop runs them, with a fixed time step and the
// input fed into the InputState as the window callbacks feed it. Model code takes textures 1
// and 2 for the process's defaults, so one world per process: a later test in the same process
// is skipped (ctest runs every test in a process of its own).
#pragma once

#include "game/Heightmap.h"
#include "game/Level.h"
#include "input/InputState.h"
#include "overlay/FontGen.h"
#include "overlay/GameScreens.h"
#include "overlay/ImageOverlay.h"
#include "render/Camera.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "tests/support/GlTest.h"
#include "tests/world/StartupLayer.h"
#include "world/PlayerController.h"
#include "world/PlayerModel.h"
#include "world/Scene.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

class PlayFixture : public GlTest {
protected:
    static constexpr double frameTime = 1.0 / 30.0;

    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        static bool built = false;
        if (built || glIsTexture(1))
            GTEST_SKIP() << "needs a process of its own (the first textures are the defaults): run it through ctest";
        built = true;
        windowWidth = width;
        windowHeight = height;
        glViewport(0, 0, width, height);
        StartupLayer& layer = StartupLayer::get(&windowWidth, &windowHeight);
        orthoShader = layer.orthoShader;
        textureLoader = layer.textureLoader;
        fontShader = layer.fontShader;
        fontGen = layer.fontGen;
        input = new InputState(&windowWidth, &windowHeight);
        screens = new GameScreens(fontShader, orthoShader, fontGen, textureLoader, &windowWidth, &windowHeight);
        scene = new Scene(input, textureLoader, screens, &windowWidth, &windowHeight);
        afterScene();
        controller = new PlayerController(input, scene);
    }

    // Objects made between the scene and the controller, as start-up makes the debug display.
    virtual void afterScene() { }
    virtual void beforeWorld(float) { }
    virtual void afterWorld() { }

    // One frame of the main loop, without presenting it: clear, the world update, the draw.
    void frame(double dt = frameTime)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        beforeWorld(static_cast<float>(dt));
        scene->update(dt);
        controller->update(static_cast<float>(dt));
        scene->draw();
        afterWorld();
    }

    void frames(int count, double dt = frameTime)
    {
        for (int i = 0; i < count; ++i)
            frame(dt);
    }

    // A key or button went down or up, as the window callbacks report it.
    void press(int code)
    {
        input->press(code);
    }
    void release(int code)
    {
        input->release(code);
    }
    // A cursor event `delta` pixels away from the window centre.
    void moveMouse(glm::vec2 delta)
    {
        input->setCursor(windowWidth / 2 + delta.x, windowHeight / 2 + delta.y);
    }

    Model* vehicle() const
    {
        return scene->player->model;
    }
    Heightmap* floor() const
    {
        return scene->level->heightmap;
    }

    // Stands the vehicle at (x, z) on the floor facing its level's start heading, and puts the
    // camera behind it, as driving there would.
    void standAt(float x, float z)
    {
        Model* model = vehicle();
        glm::vec3 forward = glm::normalize(model->forward());
        glm::mat4 matrix(1.0f);
        matrix[0] = glm::vec4(glm::normalize(glm::cross(glm::vec3(0.0f, 1.0f, 0.0f), forward)), 0.0f);
        matrix[1] = glm::vec4(0.0f, 1.0f, 0.0f, 0.0f);
        matrix[2] = glm::vec4(forward, 0.0f);
        model->modelMatrix = matrix;
        model->setPosition(glm::vec3(x, floor()->heightAt(x, z), z));
        scene->camera->follow(model->getPosition(), -model->forward());
    }

    // The cursor movement that turns the view from the camera onto `target` (0.1 degree per pixel).
    glm::vec2 aimAt(glm::vec3 target) const
    {
        glm::vec3 from = scene->camera->direction;
        glm::vec3 to = target - scene->camera->position;
        auto yaw = [](glm::vec3 d) { return std::atan2(d.x, d.z); };
        auto pitch = [](glm::vec3 d) { return std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)); };
        float degrees = 180.0f / 3.14159265f;
        float turn = std::remainder(yaw(to) - yaw(from), 2.0f * 3.14159265f) * degrees;
        float tilt = (pitch(to) - pitch(from)) * degrees;
        return glm::vec2(-turn / 0.1f, -tilt / 0.1f);
    }

    // Turns the view onto the floor point (x, z) with the mouse, in as many frames as needed.
    void lookAtFloor(float x, float z)
    {
        glm::vec3 target(x, floor()->heightAt(x, z), z);
        for (int i = 0; i < 3; ++i) {
            glm::vec2 delta = aimAt(target);
            if (glm::length(delta) < 0.01f)
                return;
            while (glm::length(delta) >= 149.0f) {
                glm::vec2 part = delta * (140.0f / glm::length(delta));
                moveMouse(part);
                scene->update(0.0);
                delta -= part;
            }
            moveMouse(delta);
            scene->update(0.0);
        }
    }

    // World centre of paint pixel (px, pz).
    glm::vec2 pixelCentre(int px, int pz) const
    {
        Heightmap* hm = floor();
        float w = static_cast<float>(hm->cellsX) * hm->spacing / static_cast<float>(hm->paintWidth());
        float d = static_cast<float>(hm->cellsZ) * hm->spacing / static_cast<float>(hm->paintHeight());
        return glm::vec2((static_cast<float>(px) + 0.5f) * w, (static_cast<float>(pz) + 0.5f) * d);
    }

    // Counts the live GL objects of one kind among the names made so far.
    static int liveObjects(
        GLboolean (*isObject)(GLuint), void (*generate)(GLsizei, GLuint*), void (*remove)(GLsizei, const GLuint*))
    {
        GLuint probe = 0;
        generate(1, &probe);
        remove(1, &probe);
        int live = 0;
        for (GLuint name = 1; name < probe; ++name)
            live += isObject(name) ? 1 : 0;
        return live;
    }
    static int liveBuffers()
    {
        return liveObjects(glIsBuffer, glGenBuffers, glDeleteBuffers);
    }
    static int liveTextures()
    {
        return liveObjects(glIsTexture, glGenTextures, glDeleteTextures);
    }
    static int liveVertexArrays()
    {
        return liveObjects(glIsVertexArray, glGenVertexArrays, glDeleteVertexArrays);
    }

    static long residentKilobytes()
    {
        std::ifstream statm("/proc/self/statm");
        long pages = 0;
        long resident = 0;
        statm >> pages >> resident;
        return resident * sysconf(_SC_PAGESIZE) / 1024;
    }

    // The live window size (the game's screenWidth and screenHeight), read by the font for the run.
    inline static int windowWidth = width;
    inline static int windowHeight = height;
    inline static Shader* orthoShader = nullptr;
    inline static Shader* fontShader = nullptr;
    inline static TextureLoader* textureLoader = nullptr;
    inline static FontGen* fontGen = nullptr;
    inline static InputState* input = nullptr;
    inline static GameScreens* screens = nullptr;
    inline static Scene* scene = nullptr;
    inline static PlayerController* controller = nullptr;
};
