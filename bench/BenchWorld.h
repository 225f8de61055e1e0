// The game as start-up builds it, in one hidden 1024 x 768 window, for the benchmarks that
// need GL or the real scene. Made once per process on first use: its texture loader makes the
// process's first two textures (the default and white ones), as in the game. The working
// directory must be the build folder, where Shader/ and Resources/ are.
#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>

class BenchWorld {
public:
    // Null when no window could be opened (no display).
    static BenchWorld* get();

    // The scene in the given level (1 tutorial, 2 server room) as play sees it: intro over,
    // vehicle at its start place, the camera behind it.
    void enterLevel(int number);
    // One frame of the main loop after the poll: HUD update, world update and draw, HUD draw;
    // then waits for the driver to finish it.
    void frame(double dt);
    // A few frames, so that the driver has compiled what the frames need before they are timed.
    void warmUp();

    GLFWwindow* window = nullptr;

private:
    BenchWorld() = default;
    void step(double dt);
};
