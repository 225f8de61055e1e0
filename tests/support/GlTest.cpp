#include "tests/support/GlTest.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {
GLFWwindow* sharedWindow = nullptr;

void openWindow()
{
    if (sharedWindow)
        return;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        FAIL() << "GL tests need a display: run them through scripts/test (xvfb-run)";
    if (!glfwInit())
        FAIL() << "glfwInit failed on DISPLAY=" << display;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    sharedWindow = glfwCreateWindow(GlTest::width, GlTest::height, "tintbox tests", nullptr, nullptr);
    if (!sharedWindow)
        FAIL() << "glfwCreateWindow failed on DISPLAY=" << display;
    glfwMakeContextCurrent(sharedWindow);
    if (glewInit() != GLEW_OK)
        FAIL() << "glewInit failed";
    glViewport(0, 0, GlTest::width, GlTest::height);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
}

GLFWwindow* GlTest::window()
{
    return sharedWindow;
}

void GlTest::SetUp()
{
    openWindow();
    ASSERT_NE(sharedWindow, nullptr);
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlTest::TearDown()
{
    if (sharedWindow) {
        EXPECT_EQ(glErrors(), "") << "GL errors left by the test";
    }
}

std::vector<unsigned char> GlTest::readPixels(int x, int y, int w, int h)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<unsigned char> GlTest::pixelAt(int x, int y)
{
    return readPixels(x, y, 1, 1);
}

std::string GlTest::glErrors()
{
    std::ostringstream out;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        out << "0x" << std::hex << error << " ";
    return out.str();
}

std::string buildPath(const std::string& relative)
{
    return std::string(TINTBOX_BUILD_DIR) + "/" + relative;
}

std::string makeTempDir(const std::string& tag)
{
    std::string dir = "/tmp/tintbox-test-" + tag + "-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}
