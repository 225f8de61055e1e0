#include "app/MainLoop.h"

#include "app/AppObjects.h"
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/Window.h"
#include "hud/DebugHud.h"
#include "world/PlayerController.h"
#include "world/Scene.h"

#include <cstdio>
#include <iostream>

int runGame(int argc, char** argv)
{
    CommandLine line = CommandLine::parse(argc, argv);
    if (!line.ok) {
        std::cerr << line.error << "\n" << CommandLine::usage() << std::endl;
        return 2;
    }
    screenWidth = line.width;
    screenHeight = line.height;
    const std::string title = "Tintbox v0.001";
    GLFWwindow* window = createWindow(title, &screenWidth, &screenHeight, line.fullscreen);
    createObjects(window, &screenWidth, &screenHeight);
    mainLoop(window, title);
    glfwTerminate();
    return 0;
}

void mainLoop(GLFWwindow* window, const std::string& title)
{
    bool running = true;
    double lastTime = 0.0;
    double dt = 0.0;
    const double titleInterval = 0.1f;
    double titleCountdown = titleInterval;
    while (running && !glfwWindowShouldClose(window)) {
        double now = glfwGetTime();
        dt = now - lastTime;
        lastTime = now;
        updateFpsTitle(titleCountdown, titleInterval, dt, window, title);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glfwPollEvents();
        if (appObjects.debugHud)
            appObjects.debugHud->update(static_cast<float>(dt));
        updateWorld(dt);
        drawWorld();
        if (appObjects.debugHud)
            appObjects.debugHud->draw();
        glfwSwapBuffers(window);
        running = glfwGetKey(window, GLFW_KEY_ESCAPE) != GLFW_PRESS;
    }
}

void updateWorld(double dt)
{
    if (appObjects.scene)
        appObjects.scene->update(dt);
    if (appObjects.controller)
        appObjects.controller->update(static_cast<float>(dt));
}

void drawWorld()
{
    if (appObjects.scene)
        appObjects.scene->draw();
}

void updateFpsTitle(double& titleCountdown, double titleInterval, double dt, GLFWwindow* window,
    const std::string& title)
{
    titleCountdown -= dt;
    if (titleCountdown > 0)
        return;
    titleCountdown = titleInterval;
    glfwSetWindowTitle(window, fpsTitle(title, dt).c_str());
}

std::string fpsTitle(const std::string& title, double dt)
{
    char rate[64];
    std::snprintf(rate, sizeof rate, "%f", 1.0 / dt);
    return title + " @ " + rate + " fps";
}
