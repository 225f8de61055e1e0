// The floor of what a frame can cost on this driver: a window like the game's, cleared, polled
// and swapped, nothing drawn. Its title carries the frame rate the way the game's does, so the
// same sampler reads both: bareloop [width height] opens full screen at that size.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    int width = 1024;
    int height = 768;
    bool fullscreen = argc >= 3;
    if (fullscreen) {
        width = std::atoi(argv[1]);
        height = std::atoi(argv[2]);
    }
    if (!glfwInit())
        return 1;
    GLFWwindow* window
        = glfwCreateWindow(width, height, "Bare loop", fullscreen ? glfwGetPrimaryMonitor() : nullptr, nullptr);
    if (!window) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (glewInit() != GLEW_OK)
        return 1;
    glEnable(GL_DEPTH_TEST);

    double last = 0.0;
    double countdown = 0.1;
    while (!glfwWindowShouldClose(window) && glfwGetKey(window, GLFW_KEY_ESCAPE) != GLFW_PRESS) {
        double now = glfwGetTime();
        double dt = now - last;
        last = now;
        countdown -= dt;
        if (countdown <= 0.0) {
            countdown = 0.1;
            char title[64];
            std::snprintf(title, sizeof title, "Bare loop @ %f fps", 1.0 / dt);
            glfwSetWindowTitle(window, title);
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glfwPollEvents();
        glfwSwapBuffers(window);
    }
    glfwTerminate();
    return 0;
}
