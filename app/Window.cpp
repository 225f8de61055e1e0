#include "app/Window.h"

#include "app/AppObjects.h"
#include "input/InputState.h"
#include "render/Console.h"
#include "world/Scene.h"

GLFWwindow* createWindow(std::string title, int* windowWidth, int* windowHeight, bool fullscreen)
{
    if (!glfwInit())
        Console::fail("failed to load GLFW.");
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(*windowWidth, *windowHeight, title.c_str(), monitor, nullptr);
    if (!window) {
        glfwTerminate();
        Console::fail("failed to create window.");
    }
    glfwSetWindowSizeCallback(window, onWindowSize);
    glfwMakeContextCurrent(window);
    glfwGetWindowSize(window, windowWidth, windowHeight);
    glfwSetCursorPos(window, *windowWidth / 2, *windowHeight / 2);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwSetCursorPosCallback(window, onCursorPos);
    glfwSetScrollCallback(window, onScroll);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetKeyCallback(window, onKey);

    if (glewInit() != GLEW_OK) {
        glfwTerminate();
        Console::fail("failed to load GLEW.");
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return window;
}

void onKey(GLFWwindow*, int key, int, int action, int)
{
    if (!appObjects.input)
        return;
    if (action == GLFW_PRESS)
        appObjects.input->press(key);
    else if (action == GLFW_RELEASE)
        appObjects.input->release(key);
}

void onMouseButton(GLFWwindow*, int button, int action, int)
{
    if (!appObjects.input)
        return;
    if (action == GLFW_PRESS)
        appObjects.input->press(button);
    else if (action == GLFW_RELEASE)
        appObjects.input->release(button);
}

void onScroll(GLFWwindow*, double, double yoffset)
{
    if (appObjects.input)
        appObjects.input->setScroll(static_cast<int>(yoffset));
}

void onCursorPos(GLFWwindow* window, double xpos, double ypos)
{
    if (appObjects.input)
        appObjects.input->setCursor(xpos, ypos);
    int w = 0;
    int h = 0;
    glfwGetWindowSize(window, &w, &h);
    glfwSetCursorPos(window, w / 2, h / 2);
}

void onWindowSize(GLFWwindow*, int width, int height)
{
    screenWidth = width;
    screenHeight = height;
    glViewport(0, 0, width, height);
    if (appObjects.scene)
        appObjects.scene->onResize();
}
