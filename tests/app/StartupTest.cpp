#include "app/Startup.h"
#include "app/AppObjects.h"
#include "app/MainLoop.h"
#include "game/Level.h"
#include "hud/DebugHud.h"
#include "render/TextureLoader.h"
#include "tests/support/GlTest.h"
#include "world/PlayerController.h"
#include "world/Scene.h"

#include <filesystem>
#include <unistd.h>

using StartupTest = GlTest;

TEST_F(StartupTest, EveryObjectIsMadeOnceAndTheFirstFramesRun)
{
    if (glIsTexture(1))
        GTEST_SKIP() << "needs a process of its own: run it through ctest";
    screenWidth = width;
    screenHeight = height;
    createObjects(window(), &screenWidth, &screenHeight);
    EXPECT_NE(appObjects.orthoShader, nullptr);
    EXPECT_NE(appObjects.fontShader, nullptr);
    EXPECT_NE(appObjects.fontGen, nullptr);
    EXPECT_NE(appObjects.input, nullptr);
    ASSERT_NE(appObjects.scene, nullptr);
    ASSERT_NE(appObjects.debugHud, nullptr);
    ASSERT_NE(appObjects.controller, nullptr);
    ASSERT_NE(appObjects.textureLoader, nullptr);
    EXPECT_EQ(appObjects.textureLoader->defaultTexture, 1u) << "the texture loader comes before every picture";
    EXPECT_EQ(appObjects.textureLoader->whiteTexture, 2u);
    EXPECT_EQ(appObjects.controller->heightmap, appObjects.scene->level->heightmap);
    EXPECT_EQ(appObjects.scene->levelIndex, 1);

    for (int i = 0; i < 3; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        appObjects.debugHud->update(1.0f / 30.0f);
        updateWorld(1.0 / 30.0);
        drawWorld();
        appObjects.debugHud->draw();
    }
    EXPECT_GT(appObjects.scene->meshesDrawn, 0u);
}

TEST(StartupFailure, MissingFontPrintsItsMessageAndEndsWithMinusOne)
{
    // A run folder with the shaders and every resource but the font.
    std::string run = makeRunFolder("nofont", { "Resources/LiberationSans-Regular.ttf" });

    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            dup2(2, 1);
            std::filesystem::current_path(run);
            glfwInit();
            glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
            GLFWwindow* window = glfwCreateWindow(640, 480, "no font", nullptr, nullptr);
            glfwMakeContextCurrent(window);
            glewInit();
            screenWidth = 640;
            screenHeight = 480;
            createObjects(window, &screenWidth, &screenHeight);
            std::exit(0);
        },
        testing::ExitedWithCode(255), "FontGen: failed to load font.");
}
