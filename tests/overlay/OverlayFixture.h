// Shared set-up of the overlay tests: a temporary working folder with the pictures the 2D
// layer loads, written here, plus the two 2D programs, a texture loader and a font.
#pragma once

#include "tests/support/GlTest.h"

#include <glm/glm.hpp>

#include <functional>
#include <string>
#include <vector>

class FontGen;
class Mesh;
class Shader;
class TextureLoader;

constexpr const char* testFontPath = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

class OverlayTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Brightest pixel of a region of the fixture window, by red + green + blue.
    static glm::u8vec4 brightestIn(int x, int y, int w, int h);
    static glm::u8vec4 colourAt(int x, int y);

    // The working folder, holding Resources/ with the pictures below.
    static std::string workDir;
    static Shader* fontShader;
    static Shader* orthoShader;
    static TextureLoader* loader;
    static FontGen* fontGen;
    // The live window size the objects under test read; not the fixture window's own size.
    int windowWidth = 1280;
    int windowHeight = 720;

private:
    std::string previousDir;
};

// Writes a PNG whose pixel (x, y), y counted from the bottom row, is colour(x, y) as RGBA bytes.
void writePng(const std::string& path, int width, int height, const std::function<glm::u8vec4(int, int)>& colour);
// The mesh's vertex positions, read back from its position buffer.
std::vector<glm::vec3> positionsOf(const Mesh& mesh);
bool allFinite(const Mesh& mesh);
// Number of names in 1..limit that are live vertex arrays and buffers.
int liveVertexArrays(GLuint limit);
int liveBuffers(GLuint limit);
