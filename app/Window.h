// Opens the one window with its GL context, loads the GL entry points, sets the global GL
// state and connects the GLFW callbacks to the input state, the screen size and the scene.
#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <string>

GLFWwindow* createWindow(std::string title, int* windowWidth, int* windowHeight, bool fullscreen);

void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
void onMouseButton(GLFWwindow* window, int button, int action, int mods);
void onScroll(GLFWwindow* window, double xoffset, double yoffset);
void onCursorPos(GLFWwindow* window, double xpos, double ypos);
void onWindowSize(GLFWwindow* window, int width, int height);
