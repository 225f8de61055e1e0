#include "tests/support/GlTest.h"

#include <algorithm>
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
    while (glGetError() != GL_NO_ERROR) { }
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

std::string makeRunFolder(const std::string& tag, const std::vector<std::string>& leaveOut,
    const std::vector<std::pair<std::string, std::string>>& replace)
{
    namespace fs = std::filesystem;
    std::string folder = makeTempDir(tag);
    for (const char* sub : { "Shader", "Resources" }) {
        fs::create_directories(folder + "/" + sub);
        for (const fs::directory_entry& entry : fs::directory_iterator(buildPath(sub))) {
            std::string name = std::string(sub) + "/" + entry.path().filename().string();
            if (std::find(leaveOut.begin(), leaveOut.end(), name) == leaveOut.end())
                fs::create_symlink(entry.path(), folder + "/" + name);
        }
    }
    for (const auto& [name, source] : replace)
        fs::create_symlink(buildPath(source), folder + "/" + name);
    return folder;
}
