#include "tests/overlay/OverlayFixture.h"

#include "overlay/FontGen.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"

#include <FreeImage.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

std::string OverlayTest::workDir;
Shader* OverlayTest::fontShader = nullptr;
Shader* OverlayTest::orthoShader = nullptr;
TextureLoader* OverlayTest::loader = nullptr;
FontGen* OverlayTest::fontGen = nullptr;

namespace {
// Removes the working folder once all tests of the process have run.
class WorkDirCleanUp : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (!createdDir.empty())
            std::filesystem::remove_all(createdDir);
    }
    static std::string createdDir;
};
std::string WorkDirCleanUp::createdDir;
const ::testing::Environment* cleanUp = ::testing::AddGlobalTestEnvironment(new WorkDirCleanUp);

void writePictures(const std::string& dir)
{
    std::filesystem::create_directories(dir + "/Resources");
    writePng(dir + "/Resources/default.png", 2, 2, [](int, int) { return glm::u8vec4(255, 0, 255, 255); });
    writePng(dir + "/Resources/defaultWhite.png", 2, 2, [](int, int) { return glm::u8vec4(255); });
    // Left half white, right half mid grey: the tint must keep the ball's own shading.
    writePng(dir + "/Resources/colorBall.png", 32, 32,
        [](int x, int) { return x < 16 ? glm::u8vec4(255) : glm::u8vec4(128, 128, 128, 255); });
    writePng(dir + "/Resources/winScreen.png", 200, 100, [](int, int) { return glm::u8vec4(0, 255, 0, 255); });
    // Taller than half a 720 window less 80 px, so the score line lies below the centre there.
    writePng(dir + "/Resources/looseScreen.png", 160, 300, [](int, int) { return glm::u8vec4(255, 0, 0, 255); });
    // Quadrants: bottom left red, bottom right green, top left blue, top right yellow.
    writePng(dir + "/Resources/target.png", 8, 8, [](int x, int y) {
        if (y < 4)
            return x < 4 ? glm::u8vec4(255, 0, 0, 255) : glm::u8vec4(0, 255, 0, 255);
        return x < 4 ? glm::u8vec4(0, 0, 255, 255) : glm::u8vec4(255, 255, 0, 255);
    });
}
}

void OverlayTest::SetUp()
{
    GlTest::SetUp();
    previousDir = std::filesystem::current_path().string();
    if (workDir.empty()) {
        workDir = makeTempDir("overlay");
        WorkDirCleanUp::createdDir = workDir;
        writePictures(workDir);
    }
    ASSERT_EQ(chdir(workDir.c_str()), 0);
    if (!fontShader) {
        fontShader = new Shader(buildPath("Shader/fontShader.vert"), buildPath("Shader/fontShader.frag"));
        orthoShader = new Shader(buildPath("Shader/orthShader.vert"), buildPath("Shader/orthShader.frag"));
        loader = new TextureLoader();
        fontGen = new FontGen(fontShader, testFontPath, 2, 22, &windowWidth, &windowHeight);
    }
    // Each test has its own size integers.
    fontGen->windowWidth = &windowWidth;
    fontGen->windowHeight = &windowHeight;
}

void OverlayTest::TearDown()
{
    EXPECT_EQ(chdir(previousDir.c_str()), 0);
    GlTest::TearDown();
}

void writePng(const std::string& path, int width, int height, const std::function<glm::u8vec4(int, int)>& colour)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < width; ++x) {
            glm::u8vec4 c = colour(x, y);
            row[x * 4 + FI_RGBA_RED] = c.r;
            row[x * 4 + FI_RGBA_GREEN] = c.g;
            row[x * 4 + FI_RGBA_BLUE] = c.b;
            row[x * 4 + FI_RGBA_ALPHA] = c.a;
        }
    }
    FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
}

std::vector<glm::vec3> positionsOf(const Mesh& mesh)
{
    std::vector<glm::vec3> positions(mesh.vertexCount);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.positionBuffer);
    glGetBufferSubData(
        GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(positions.size() * sizeof(glm::vec3)), positions.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return positions;
}

bool allFinite(const Mesh& mesh)
{
    for (const glm::vec3& p : positionsOf(mesh)) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return false;
    }
    return true;
}

glm::u8vec4 OverlayTest::brightestIn(int x, int y, int w, int h)
{
    std::vector<unsigned char> pixels = readPixels(x, y, w, h);
    glm::u8vec4 best(0);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        glm::u8vec4 p(pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]);
        if (p.r + p.g + p.b > best.r + best.g + best.b)
            best = p;
    }
    return best;
}

glm::u8vec4 OverlayTest::colourAt(int x, int y)
{
    std::vector<unsigned char> p = pixelAt(x, y);
    return glm::u8vec4(p[0], p[1], p[2], p[3]);
}

int liveVertexArrays(GLuint limit)
{
    int live = 0;
    for (GLuint name = 1; name <= limit; ++name)
        live += glIsVertexArray(name) ? 1 : 0;
    return live;
}

int liveBuffers(GLuint limit)
{
    int live = 0;
    for (GLuint name = 1; name <= limit; ++name)
        live += glIsBuffer(name) ? 1 : 0;
    return live;
}
