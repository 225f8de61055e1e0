// Test fixture with a real GL context: one hidden GLFW window per test process, on the
// display the tests run on (Xvfb under scripts/test). Each test starts and must end
// without a pending GL error.
#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

class GlTest : public ::testing::Test {
public:
    static GLFWwindow* window();
    // Window size the context was made with; the window is never resized by the fixture.
    static constexpr int width = 1024;
    static constexpr int height = 768;

protected:
    void SetUp() override;
    void TearDown() override;

    // Reads the colour buffer of the default framebuffer, rows bottom first, RGBA bytes.
    static std::vector<unsigned char> readPixels(int x, int y, int w, int h);
    static std::vector<unsigned char> pixelAt(int x, int y);
    static std::string glErrors();
};

// Path of a file below the build folder (the tests' working directory).
std::string buildPath(const std::string& relative);
// A fresh, empty folder below /tmp for files a test writes itself.
std::string makeTempDir(const std::string& tag);
// A run folder like build/ in a fresh temporary folder: links to every file of Shader/ and
// Resources/ except those named in `leaveOut` ("Resources/NAME"); `replace` names files that
// link to another build file instead.
std::string makeRunFolder(const std::string& tag, const std::vector<std::string>& leaveOut,
    const std::vector<std::pair<std::string, std::string>>& replace = {});
