// Start-up: every long-lived object is created once, in a fixed order, behind a loading screen.
#pragma once

#include <GLFW/glfw3.h>

void createObjects(GLFWwindow* window, int* windowWidth, int* windowHeight);
