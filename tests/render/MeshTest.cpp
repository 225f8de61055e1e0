#include "render/Mesh.h"

#include "tests/render/TestShaders.h"
#include "tests/support/GlTest.h"

#include <glm/gtc/matrix_transform.hpp>

#include <memory>

namespace {
// A quad over the whole window in device coordinates, drawn as a strip.
const float quadPositions[] = { -1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0 };
const float quadNormals[] = { 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1 };
const float quadUvs[] = { 0, 0, 1, 0, 0, 1, 1, 1 };
const unsigned int quadIndices[] = { 0, 1, 2, 3 };

std::unique_ptr<Mesh> quad(Shader* shader, GLuint texture = 0, int unit = 1)
{
    return std::make_unique<Mesh>(
        shader, quadNormals, quadUvs, quadPositions, quadIndices, 4, 4, texture, unit, GL_TRIANGLE_STRIP, Material());
}

// A box from `low` to `high`, given by two opposite corners only.
std::unique_ptr<Mesh> box(glm::vec3 low, glm::vec3 high)
{
    const float positions[] = { low.x, low.y, low.z, high.x, high.y, high.z };
    const float normals[6] = {};
    const float uvs[4] = {};
    const unsigned int indices[] = { 0, 1 };
    return std::make_unique<Mesh>(
        testShader("simpleShader"), normals, uvs, positions, indices, 2, 2, 0, 0, GL_LINES, Material());
}

GLuint solidTexture(const unsigned char rgba[4])
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

std::vector<float> bufferFloats(GLuint buffer, size_t count)
{
    std::vector<float> out(count);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(float)), out.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return out;
}

GLint attributeEnabled(GLuint vertexArray, GLuint location)
{
    GLint enabled = 0;
    glBindVertexArray(vertexArray);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glBindVertexArray(0);
    return enabled;
}
}

using MeshTest = GlTest;

TEST_F(MeshTest, BoundsAndCornersFollowTheVertices)
{
    const float same[] = { 1, 2, 3, 1, 2, 3, 1, 2, 3 };
    const float zeros[9] = {};
    const unsigned int indices[] = { 0, 1, 2 };
    Mesh point(testShader("simpleShader"), zeros, zeros, same, indices, 3, 3, 0, 0, GL_TRIANGLES, Material());
    EXPECT_EQ(point.boundsMin, glm::vec3(1, 2, 3));
    EXPECT_EQ(point.boundsMax, glm::vec3(1, 2, 3));
    for (const glm::vec3& corner : point.corners)
        EXPECT_EQ(corner, glm::vec3(1, 2, 3));

    const float spread[] = { 1, 5, -2, -3, 0, 4, 2, -1, 0 };
    Mesh mesh(testShader("simpleShader"), zeros, zeros, spread, indices, 3, 3, 0, 0, GL_TRIANGLES, Material());
    EXPECT_EQ(mesh.boundsMin, glm::vec3(-3, -1, -2));
    EXPECT_EQ(mesh.boundsMax, glm::vec3(2, 5, 4));
    const glm::vec3 expected[8] = { { -3, -1, -2 }, { -3, -1, 4 }, { -3, 5, -2 }, { -3, 5, 4 }, { 2, -1, -2 },
        { 2, -1, 4 }, { 2, 5, -2 }, { 2, 5, 4 } };
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(mesh.corners[c], expected[c]) << "corner " << c;
    EXPECT_EQ(mesh.meshMatrix, glm::mat4(1.0f));
}

TEST_F(MeshTest, MeshWithoutVerticesIsRefusedAndDrawsNothing)
{
    const float data[12] = {};
    const unsigned int indices[] = { 0, 1, 2, 3 };
    Shader* shader = testShader("orthShader");
    struct Case {
        const char* name;
        const float* normals;
        const float* uvs;
        const float* positions;
        const unsigned int* indices;
        unsigned int vertexCount;
    };
    const Case cases[] = {
        { "no vertices", data, data, data, indices, 0 },
        { "no positions", data, data, nullptr, indices, 4 },
        { "no normals", nullptr, data, data, indices, 4 },
        { "no uvs", data, nullptr, data, indices, 4 },
        { "no indices", data, data, data, nullptr, 4 },
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        Mesh mesh(shader, c.normals, c.uvs, c.positions, c.indices, c.vertexCount, 4, 0, 0, GL_TRIANGLES, Material());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Mesh: a mesh needs at least one vertex\n") << c.name;
        EXPECT_EQ(mesh.vertexCount, 0u) << c.name;
        EXPECT_EQ(mesh.boundsMin, glm::vec3(0.0f)) << c.name;
        EXPECT_EQ(mesh.boundsMax, glm::vec3(0.0f)) << c.name;
        EXPECT_TRUE(mesh.uvs.empty()) << c.name;
        shader->use();
        mesh.draw();
        mesh.updateUVs(data);
        EXPECT_EQ(glErrors(), "") << c.name;
    }
    // Indices may be absent when none are drawn.
    testing::internal::CaptureStdout();
    Mesh unindexed(shader, data, data, data, nullptr, 4, 0, 0, 0, GL_TRIANGLES, Material());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(unindexed.vertexArray, 0u);
}

TEST_F(MeshTest, OverlapsNeedsStrictOverlapOnEveryAxis)
{
    std::unique_ptr<Mesh> a = box({ 0, 0, 0 }, { 2, 2, 2 });
    std::unique_ptr<Mesh> b = box({ 0, 0, 0 }, { 2, 2, 2 });
    glm::vec3 none(0.0f);
    EXPECT_FALSE(a->overlaps(*b, none, none)) << "equal extents do not count";
    EXPECT_TRUE(a->overlaps(*b, { 1, 1, 1 }, none));
    EXPECT_TRUE(a->overlaps(*b, none, { 1, 1, 1 }));
    EXPECT_TRUE(a->overlaps(*b, { -1, -1, -1 }, none));
    EXPECT_FALSE(a->overlaps(*b, { 1, 0, 0 }, none)) << "y and z have equal extents";
    EXPECT_FALSE(a->overlaps(*b, { 2, 1, 1 }, none)) << "touching faces do not overlap";
    EXPECT_FALSE(a->overlaps(*b, { 1, 1, 1 }, { 5, 0, 0 }));
    EXPECT_FALSE(a->overlaps(*b, { 1, 1, 5 }, none));
    EXPECT_FALSE(a->overlaps(*b, { 1, 5, 1 }, none));

    std::unique_ptr<Mesh> small = box({ 0.5f, 0.5f, 0.5f }, { 1.5f, 1.5f, 1.5f });
    EXPECT_TRUE(a->overlaps(*small, none, none)) << "the other box inside this one";
    EXPECT_TRUE(small->overlaps(*a, none, none)) << "this box inside the other";
}

TEST_F(MeshTest, RotateAboutPivotKeepsThePivotAndReplacesTheMatrix)
{
    std::unique_ptr<Mesh> mesh = quad(testShader("orthShader"));
    glm::vec3 pivot(1, 2, 3);
    mesh->rotateAboutPivot(90.0f, { 0, 1, 0 }, pivot);
    glm::vec4 moved = mesh->meshMatrix * glm::vec4(pivot, 1.0f);
    EXPECT_NEAR(glm::distance(glm::vec3(moved), pivot), 0.0f, 1e-5f);
    glm::vec4 beside = mesh->meshMatrix * glm::vec4(pivot + glm::vec3(1, 0, 0), 1.0f);
    EXPECT_NEAR(glm::distance(glm::vec3(beside), pivot + glm::vec3(0, 0, -1)), 0.0f, 1e-5f);
    glm::mat4 once = mesh->meshMatrix;
    mesh->rotateAboutPivot(90.0f, { 0, 1, 0 }, pivot);
    EXPECT_EQ(mesh->meshMatrix, once) << "not accumulated";
}

TEST_F(MeshTest, BuffersHoldTheDataAndUpdateUVsReplacesTheUvs)
{
    std::unique_ptr<Mesh> mesh = quad(testShader("orthShader"));
    EXPECT_EQ(bufferFloats(mesh->positionBuffer, 12), std::vector<float>(quadPositions, quadPositions + 12));
    EXPECT_EQ(bufferFloats(mesh->normalBuffer, 12), std::vector<float>(quadNormals, quadNormals + 12));
    EXPECT_EQ(bufferFloats(mesh->uvBuffer, 8), std::vector<float>(quadUvs, quadUvs + 8));
    GLint recorded = 0;
    glBindVertexArray(mesh->vertexArray);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &recorded);
    glBindVertexArray(0);
    EXPECT_EQ(static_cast<GLuint>(recorded), mesh->indexBuffer) << "the vertex array keeps its index buffer";

    const float scrolled[] = { 0.5f, 0, 1.5f, 0, 0.5f, 1, 1.5f, 1 };
    mesh->updateUVs(scrolled);
    EXPECT_EQ(bufferFloats(mesh->uvBuffer, 8), std::vector<float>(scrolled, scrolled + 8));
    EXPECT_EQ(mesh->uvs, std::vector<float>(quadUvs, quadUvs + 8)) << "the owner keeps the copy in step";
    GLint usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, mesh->uvBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(usage, GL_STREAM_DRAW);
}

TEST_F(MeshTest, AttributesAreFedOnlyWhereTheProgramHasThem)
{
    // The font program has no use for normals; the diffuse program uses all three.
    std::unique_ptr<Mesh> text = quad(testShader("fontShader"));
    EXPECT_EQ(attributeEnabled(text->vertexArray, 0), GL_TRUE);
    EXPECT_EQ(attributeEnabled(text->vertexArray, 1), GL_FALSE);
    EXPECT_EQ(attributeEnabled(text->vertexArray, 2), GL_TRUE);
    std::unique_ptr<Mesh> model = quad(testShader("diffuse"));
    EXPECT_EQ(attributeEnabled(model->vertexArray, 1), GL_TRUE);
    EXPECT_EQ(glErrors(), "");

    // Programs lacking "normal", "k_specular" or "colorTexture" draw without error.
    for (const char* name : { "fontShader", "simpleShader", "orthShader", "diffuse" }) {
        Shader* shader = testShader(name);
        shader->use();
        text->draw(shader);
        model->draw(shader);
        EXPECT_EQ(glErrors(), "") << name;
    }
    testShader("fontShader")->use();
    text->draw();
    EXPECT_EQ(glErrors(), "");
}

TEST_F(MeshTest, DrawnQuadShowsItsTextureWhichOutlivesTheMesh)
{
    const unsigned char colour[4] = { 40, 180, 90, 255 };
    GLuint texture = solidTexture(colour);
    Shader* shader = testShader("orthShader");
    std::unique_ptr<Mesh> first = quad(shader, texture, 1);
    std::unique_ptr<Mesh> second = quad(shader, texture, 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);

    shader->use();
    first->draw();
    EXPECT_EQ(pixelAt(width / 2, height / 2), std::vector<unsigned char>(colour, colour + 4));
    EXPECT_EQ(pixelAt(3, height - 3), std::vector<unsigned char>(colour, colour + 4));

    first.reset();
    EXPECT_TRUE(glIsTexture(texture));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    second->draw();
    EXPECT_EQ(pixelAt(width / 2, height / 2), std::vector<unsigned char>(colour, colour + 4));
    glDeleteTextures(1, &texture);
}
