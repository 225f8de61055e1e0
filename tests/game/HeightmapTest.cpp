#include "game/Heightmap.h"
#include "game/FloorMesh.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "tests/support/FloorTestFiles.h"
#include "tests/support/GlTest.h"
#include "tests/support/HostileFiles.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <limits>

namespace {
const glm::ivec4 clear { 0, 0, 0, 0 };
const glm::ivec4 red { 255, 0, 0, 255 };
const glm::ivec4 blue { 0, 0, 255, 255 };
const glm::ivec4 grey { 128, 128, 128, 255 };

template <typename T> std::vector<T> bufferContents(GLuint buffer, size_t count)
{
    std::vector<T> data(count);
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, count * sizeof(T), data.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    return data;
}

// Mip level 0 of a texture as RGBA bytes, rows bottom first.
std::vector<glm::ivec4> textureTexels(GLuint texture, int width, int height)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 4);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    std::vector<glm::ivec4> texels;
    for (size_t k = 0; k < bytes.size(); k += 4)
        texels.emplace_back(bytes[k], bytes[k + 1], bytes[k + 2], bytes[k + 3]);
    return texels;
}

class HeightmapTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        folder = makeTempDir("heightmap");
        loader = makeTextureLoader(folder);
        if (!shader)
            shader = new Shader("Shader/heightmapShader.vert", "Shader/heightmapShader.frag");
    }
    void TearDown() override
    {
        delete loader;
        GlTest::TearDown();
    }
    std::string file(const std::string& name) const
    {
        return folder + "/" + name;
    }
    // A flat floor of cellsX x cellsZ cells with the given paint and original pictures.
    void loadLevel(Heightmap& heightmap, int cellsX, int cellsZ, const std::string& paint, const std::string& original)
    {
        heightmap.loadFloor(writeFlatPng(file("flat.png"), cellsX + 1, cellsZ + 1, { 0, 0, 0, 255 }), 0, {});
        heightmap.loadPictures(paint, 3, original, 1);
    }

    std::string folder;
    TextureLoader* loader = nullptr;
    static Shader* shader;
};
Shader* HeightmapTest::shader = nullptr;
}

TEST_F(HeightmapTest, TwoByTwoPictureMakesOneCell)
{
    // Red bytes, top row first: 128 and 255, then 0 and 64.
    std::string path = writePng(file("height.png"), 2, 2, [](int c, int r) {
        const int reds[2][2] = { { 128, 255 }, { 0, 64 } };
        return glm::ivec4(reds[r][c], 7, 9, 255);
    });
    Heightmap heightmap(loader, shader, 0.1f);
    heightmap.loadFloor(path, 5, {});
    ASSERT_NE(heightmap.floorMesh, nullptr);
    Mesh* mesh = heightmap.floorMesh->mesh;
    EXPECT_EQ(heightmap.cellsX, 1u);
    EXPECT_EQ(heightmap.cellsZ, 1u);
    ASSERT_EQ(mesh->vertexCount, 4u);
    ASSERT_EQ(mesh->indexCount, 6u);
    EXPECT_EQ(mesh->texture, 5u);
    EXPECT_EQ(mesh->textureUnit, 1);

    std::vector<glm::vec3> positions = bufferContents<glm::vec3>(mesh->positionBuffer, 4);
    EXPECT_EQ(positions[0], glm::vec3(0.0f, 2.0f, 0.0f));
    EXPECT_EQ(positions[1], glm::vec3(0.1f, 3.984375f, 0.0f));
    EXPECT_EQ(positions[2], glm::vec3(0.0f, 0.0f, 0.1f));
    EXPECT_EQ(positions[3], glm::vec3(0.1f, 1.0f, 0.1f));
    EXPECT_EQ(bufferContents<glm::vec2>(mesh->uvBuffer, 4),
        (std::vector<glm::vec2> { { 0, 1 }, { 1, 1 }, { 0, 0 }, { 1, 0 } }));
    EXPECT_EQ(bufferContents<unsigned int>(mesh->indexBuffer, 6), (std::vector<unsigned int> { 2, 1, 0, 1, 2, 3 }));

    heightmap.loadFloor(writeFlatPng(file("flat.png"), 3, 2, { 100, 0, 0, 255 }), 0, {});
    mesh = heightmap.floorMesh->mesh;
    ASSERT_EQ(mesh->vertexCount, 8u);
    EXPECT_EQ(mesh->textureUnit, 0) << "a floor without texture";
    for (glm::vec3 normal : bufferContents<glm::vec3>(mesh->normalBuffer, 8))
        EXPECT_EQ(normal, glm::vec3(0, 1, 0));
}

TEST_F(HeightmapTest, HeightAtTakesTheGridPointAtOrBefore)
{
    // Red byte 64 * column + 16 * row: heights column + row / 4.
    std::string path
        = writePng(file("height.png"), 4, 3, [](int c, int r) { return glm::ivec4(64 * c + 16 * r, 0, 0, 255); });
    Heightmap heightmap(loader, shader, 0.1f);
    EXPECT_EQ(heightmap.heightAt(0.0f, 0.0f), -1.0f) << "no floor yet";
    heightmap.loadFloor(path, 0, {});
    EXPECT_EQ(heightmap.heightAt(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(heightmap.heightAt(0.15f, 0.0f), 1.0f);
    EXPECT_EQ(heightmap.heightAt(0.05f, 0.19f), 0.25f);
    EXPECT_EQ(heightmap.heightAt(heightmap.cellsX * heightmap.spacing, heightmap.cellsZ * heightmap.spacing), 3.5f);
    EXPECT_EQ(heightmap.heightAt(0.301f, 0.0f), -1.0f) << "just beyond the far edge";
    EXPECT_EQ(heightmap.heightAt(0.0f, 0.21f), -1.0f);
    EXPECT_EQ(heightmap.heightAt(-0.01f, 0.1f), -1.0f);
    EXPECT_EQ(heightmap.heightAt(0.1f, -0.01f), -1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(heightmap.heightAt(nan, 0.0f), -1.0f);
    EXPECT_EQ(heightmap.heightAt(1e30f, 0.0f), -1.0f);
    EXPECT_EQ(heightmap.heightAt(0.0f, std::numeric_limits<float>::infinity()), -1.0f);
}

TEST_F(HeightmapTest, UnusableHeightPictureLeavesNoFloor)
{
    Heightmap heightmap(loader, shader, 0.1f);
    // 4096 x 4096 points would make a floor mesh of 2.5 GB.
    writeSparsePng(file("vast.png"), 4096);
    for (const std::string& path : { file("missing.png"), writeFlatPng(file("row.png"), 5, 1, red),
             writeFlatPng(file("column.png"), 1, 4, red), file("vast.png"), folder }) {
        testing::internal::CaptureStdout();
        heightmap.loadFloor(path, 0, {});
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Heightmap: could not load image: " + path + "\n");
        EXPECT_EQ(heightmap.floorMesh, nullptr);
        EXPECT_EQ(heightmap.heightAt(0.0f, 0.0f), -1.0f);
    }
    heightmap.loadPictures(
        writeFlatPng(file("paint.png"), 4, 4, clear), 3, writeFlatPng(file("orig.png"), 4, 4, red), 1);
    EXPECT_EQ(heightmap.paintWidth(), 0u) << "pictures need a floor";
    heightmap.paintAt(0.1f, 0.1f, floatColour(red));
    heightmap.draw(shader);
    EXPECT_EQ(heightmap.score(), -1.0f);
}

TEST_F(HeightmapTest, FloorsOfAMillionPixelsLoad)
{
    Heightmap heightmap(loader, shader, 0.1f);
    testing::internal::CaptureStdout();
    heightmap.loadFloor(writeFlatPng(file("large.png"), 1024, 1024, red), 0, {});
    heightmap.loadPictures(
        writeFlatPng(file("paint.png"), 1024, 1024, clear), 3, writeFlatPng(file("orig.png"), 1024, 1024, red), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(heightmap.floorMesh, nullptr);
    EXPECT_EQ(heightmap.cellsX, 1023);
    EXPECT_EQ(heightmap.paintWidth(), 1024u);
}

TEST_F(HeightmapTest, PicturesSetUpTargetsAndBudgets)
{
    std::string paint = writePng(file("paint.png"), 4, 3, [](int c, int) { return c == 2 ? grey : clear; });
    std::string original = writePng(file("orig.png"), 4, 3, [](int c, int r) {
        if (c == 2)
            return grey; // equal to the paint picture
        if (r == 0)
            return red;
        return r == 1 ? blue : glm::ivec4(0, 255, 0, 128); // the last row is not opaque
    });
    Heightmap heightmap(loader, shader, 0.1f);
    loadLevel(heightmap, 2, 2, paint, original);
    EXPECT_EQ(heightmap.paintWidth(), 4u);
    EXPECT_EQ(heightmap.paintHeight(), 3u);
    EXPECT_EQ(heightmap.originalPath, original);
    EXPECT_GT(heightmap.originalTexture, 2u);
    ASSERT_EQ(heightmap.colourCounts().size(), 2u);
    EXPECT_EQ(heightmap.colourCounts().at(glm::vec3(1, 0, 0)), 3);
    EXPECT_EQ(heightmap.colourCounts().at(glm::vec3(0, 0, 1)), 3);
    EXPECT_EQ(heightmap.currentColour(), glm::vec3(0, 0, 1));
    EXPECT_EQ(heightmap.currentColourCount(), 3);
    EXPECT_EQ(TextureLoader::livePictures(), 0) << "decoded pictures are released once copied";
    const PaintCanvas& canvas = heightmap.canvas();
    EXPECT_EQ(canvas.paintColours[(0 * 4 + 2) * 4 + 0], 128 / 255.0f) << "top row first";
    EXPECT_EQ(canvas.originalColours[(2 * 4 + 0) * 4 + 3], 128 / 255.0f);

    GLuint firstLayer = heightmap.floorMesh->paintLayerTexture;
    ASSERT_TRUE(glIsTexture(firstLayer));
    testing::internal::CaptureStdout();
    loadLevel(heightmap, 2, 2, paint, writeFlatPng(file("small.png"), 3, 3, red));
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(), "Heightmap: Original Picture size does not match paint Picture\n");
    EXPECT_FALSE(glIsTexture(firstLayer)) << "the first level's paint layer goes with its floor";
    EXPECT_TRUE(canvas.targetColours.empty());
    EXPECT_EQ(heightmap.originalPath, original) << "kept from the last level that set up targets";
    heightmap.paintAt(0.15f, 0.15f, floatColour(blue));
    EXPECT_TRUE(canvas.paintedColours.empty());
    EXPECT_EQ(heightmap.score(), -1.0f);
}

TEST_F(HeightmapTest, StrokesAndWipesReachThePaintLayerTexture)
{
    // 6 x 5 paint pixels over 3 x 2 cells of 0.1: a paint pixel is 0.05 wide and 0.04 deep.
    std::string paint = writePng(file("paint.png"), 6, 5, [](int c, int r) { return c == 3 && r == 1 ? grey : clear; });
    std::string original
        = writePng(file("orig.png"), 6, 5, [](int c, int r) { return c == 2 && r == 1 ? red : clear; });
    Heightmap heightmap(loader, shader, 0.1f);
    loadLevel(heightmap, 3, 2, paint, original);
    ASSERT_EQ(heightmap.currentColour(), glm::vec3(1, 0, 0));
    GLuint layer = heightmap.floorMesh->paintLayerTexture;
    auto texel = [&](int c, int r) { return textureTexels(layer, 6, 5)[(5 - 1 - r) * 6 + c]; };
    ASSERT_EQ(texel(3, 1), grey);

    heightmap.paintAt(0.125f, 0.06f, floatColour(red));
    EXPECT_EQ(heightmap.currentColourCount(), 0);
    std::vector<glm::ivec4> after = textureTexels(layer, 6, 5);
    EXPECT_EQ(texel(2, 1), red);
    EXPECT_EQ(texel(3, 1), grey) << "the paint picture shows beside the stroke";
    EXPECT_EQ(texel(1, 0), glm::ivec4(255, 0, 0, 0)) << "transparent, carrying the stroke's colour";
    EXPECT_EQ(texel(3, 2), glm::ivec4(255, 0, 0, 0));
    EXPECT_EQ(texel(4, 1), clear) << "outside the 3 x 3 block";

    heightmap.paintAt(0.125f, 0.06f, glm::vec4(0.0f));
    EXPECT_EQ(texel(2, 1), clear) << "a wipe shows the paint picture again";
    EXPECT_EQ(texel(1, 0), clear);
    EXPECT_EQ(texel(3, 1), grey);
    EXPECT_EQ(heightmap.currentColourCount(), 0);
}

TEST_F(HeightmapTest, FloorDrawsWithItsPaintLayer)
{
    // One cell of 1 x 1 seen from above, x to the right and the picture's top row at the top.
    const glm::ivec4 floorColour { 40, 200, 60, 255 };
    GLuint floorTexture = loader->loadTexture(writeFlatPng(file("floor.png"), 4, 4, floorColour), 1);
    std::string paint = writeFlatPng(file("paint.png"), 8, 8, clear);
    std::string original
        = writePng(file("orig.png"), 8, 8, [](int c, int r) { return c == 3 && r == 2 ? blue : clear; });
    Heightmap heightmap(loader, shader, 1.0f);
    Material material;
    material.ambient = glm::vec4(1.0f);
    heightmap.loadFloor(writeFlatPng(file("flat.png"), 2, 2, { 0, 0, 0, 255 }), floorTexture, material);
    heightmap.loadPictures(paint, 3, original, 1);
    heightmap.paintAt(3.5f / 8, 2.5f / 8, glm::vec4(0, 0, 1, 1));

    shader->use();
    glm::mat4 view = glm::lookAt(glm::vec3(0.5f, 2.0f, 0.5f), glm::vec3(0.5f, 0.0f, 0.5f), glm::vec3(0, 0, -1));
    glm::mat4 projection = glm::ortho(-0.5f, 0.5f, -0.5f, 0.5f, 0.1f, 10.0f);
    GLuint program = shader->program;
    glUniformMatrix4fv(
        glGetUniformLocation(program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection * view));
    glUniformMatrix4fv(
        glGetUniformLocation(program, "projectionLightSource"), 1, GL_FALSE, glm::value_ptr(glm::mat4(0.0f)));
    glUniform3f(glGetUniformLocation(program, "ambientLight"), 1, 1, 1);
    glUniform3f(glGetUniformLocation(program, "lightPosition"), 0.5f, 5, 0.5f);
    glUniform3f(glGetUniformLocation(program, "cameraPosition"), 0.5f, 2, 0.5f);
    glUniform3f(glGetUniformLocation(program, "spotPosition"), 0, 5, 0);
    glUniform3f(glGetUniformLocation(program, "spotDirection"), 0, 1, 0);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), 4);
    heightmap.draw(shader);

    auto screen = [](float x, float z) {
        std::vector<unsigned char> p = pixelAt(static_cast<int>(x * width), static_cast<int>((1 - z) * height));
        return glm::ivec4(p[0], p[1], p[2], p[3]);
    };
    EXPECT_EQ(screen(3.5f / 8, 2.5f / 8), blue) << "the painted pixel";
    EXPECT_EQ(screen(5.5f / 8, 2.5f / 8), floorColour) << "the floor texture where the layer is transparent";
    EXPECT_EQ(screen(3.5f / 8, 5.5f / 8), floorColour);
    glDeleteTextures(1, &floorTexture);
}
