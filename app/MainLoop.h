// The entry point's work: command line, window, start-up, then the timed main loop that
// updates and draws the world through the object table until Escape or a close request.
#pragma once

#include <GLFW/glfw3.h>

#include <string>

int runGame(int argc, char** argv);
void mainLoop(GLFWwindow* window, const std::string& title);
void updateWorld(double dt);
void drawWorld();
void updateFpsTitle(double& titleCountdown, double titleInterval, double dt, GLFWwindow* window,
    const std::string& title);
// The title text for a frame of length dt: title + " @ " + 1/dt as "%f" + " fps".
std::string fpsTitle(const std::string& title, double dt);
