#include "app/Startup.h"

#include "app/AppObjects.h"
#include "hud/DebugHud.h"
#include "input/InputState.h"
#include "overlay/FontGen.h"
#include "overlay/GameScreens.h"
#include "overlay/ImageOverlay.h"
#include "render/Console.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "render/Uniform.h"
#include "world/PlayerController.h"
#include "world/Scene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <iostream>
#include <string>

// Drawn once at start-up and kept for the rest of the run, like every start-up object.
ImageOverlay* loadingScreen = nullptr;

namespace {
// The only exception of the program: the font's constructor throws its message.
FontGen* createFontGen(int* windowWidth, int* windowHeight)
{
    try {
        return new FontGen(appObjects.fontShader, "Resources/LiberationSans-Regular.ttf", 2, 22, windowWidth,
            windowHeight);
    } catch (std::string* message) {
        std::cout << *message << std::endl;
        glfwTerminate();
        Console::pause();
        std::exit(-1);
    }
}
}

void createObjects(GLFWwindow* window, int* windowWidth, int* windowHeight)
{
    appObjects.orthoShader = new Shader("Shader/orthShader.vert", "Shader/orthShader.frag");
    appObjects.orthoShader->use();
    float aspect = static_cast<float>(*windowWidth) / static_cast<float>(*windowHeight);
    Uniform::set(appObjects.orthoShader, "projectionMatrix", glm::ortho(-aspect, aspect, -1.0f, 1.0f));

    appObjects.textureLoader = new TextureLoader();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    unsigned int width = 0;
    unsigned int height = 0;
    GLuint loading = appObjects.textureLoader->loadTexture("Resources/loadingScreen.jpg", 1, width, height);
    // Drawn once and presented; it stays on screen while the slow part below runs.
    loadingScreen = new ImageOverlay(appObjects.orthoShader, loading, 1, width, height, windowWidth, windowHeight);
    loadingScreen->draw();
    glfwSwapBuffers(window);

    appObjects.fontShader = new Shader("Shader/fontShader.vert", "Shader/fontShader.frag");
    appObjects.fontGen = createFontGen(windowWidth, windowHeight);
    appObjects.input = new InputState(windowWidth, windowHeight);
    GameScreens* gameScreens = new GameScreens(appObjects.fontShader, appObjects.orthoShader, appObjects.fontGen,
        appObjects.textureLoader, windowWidth, windowHeight);
    appObjects.scene = new Scene(appObjects.input, appObjects.textureLoader, gameScreens, windowWidth, windowHeight);
    appObjects.debugHud = new DebugHud(appObjects.fontShader, appObjects.input, appObjects.textureLoader,
        appObjects.fontGen, appObjects.scene, windowWidth, windowHeight);
    appObjects.controller = new PlayerController(appObjects.input, appObjects.scene);
}
