// GL fixture with a whole game scene on the test window, built as start-up builds it: the
// process's texture loader (made first, so that its textures are names 1 and 2), the start-up
// orthographic and font programs, the font, the input state, the game screens and a new Scene
// on the tutorial level for every test. Everything reads the size through the two process-wide
// ints below, 1024 x 768 at the start of each test. As in the game, nothing is freed.
#pragma once

#include "input/InputState.h"
#include "overlay/FontGen.h"
#include "overlay/GameScreens.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "tests/support/GlTest.h"
#include "tests/world/StartupLayer.h"
#include "world/Scene.h"

class SceneFixture : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        windowWidth = width;
        windowHeight = height;
        // Models never delete names 1 and 2, taking them for the loader's defaults; a process
        // whose first textures were made by other tests would lose textures it still uses.
        if (!textureLoader && glIsTexture(1))
            GTEST_SKIP() << "needs the process's first two textures: run it alone or through ctest";
        StartupLayer& layer = StartupLayer::get(&windowWidth, &windowHeight);
        textureLoader = layer.textureLoader;
        orthoShader = layer.orthoShader;
        fontShader = layer.fontShader;
        fontGen = layer.fontGen;
        if (textureLoader->defaultTexture != 1 || textureLoader->whiteTexture != 2)
            GTEST_SKIP() << "needs the process's first two textures: run it alone or through ctest";
        input = new InputState(&windowWidth, &windowHeight);
        gameScreens = new GameScreens(fontShader, orthoShader, fontGen, textureLoader, &windowWidth, &windowHeight);
        scene = new Scene(input, textureLoader, gameScreens, &windowWidth, &windowHeight);
    }

    // One frame as the main loop draws it: clear, then the scene.
    void drawFrame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
    }

    // The live window size the scene reads (the game's screenWidth and screenHeight).
    inline static int windowWidth = width;
    inline static int windowHeight = height;
    inline static TextureLoader* textureLoader = nullptr;
    inline static Shader* orthoShader = nullptr;
    inline static Shader* fontShader = nullptr;
    inline static FontGen* fontGen = nullptr;
    // Static, like the game's objects that live for the run.
    inline static InputState* input = nullptr;
    inline static GameScreens* gameScreens = nullptr;
    inline static Scene* scene = nullptr;
};
