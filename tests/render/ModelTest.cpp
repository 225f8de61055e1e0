#include "render/Model.h"
#include "render/Mesh.h"
#include "tests/render/ModelFixture.h"

#include <glm/gtc/matrix_transform.hpp>

#include <memory>

namespace {
void expectNear(const glm::mat4& a, const glm::mat4& b, float tolerance = 1e-5f)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], tolerance) << "column " << c << " row " << r;
}

void expectNear(glm::vec3 a, glm::vec3 b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

const glm::vec3 yAxis(0.0f, 1.0f, 0.0f);

// A triangle in the z = 0 plane, facing +z.
Mesh* triangle(Shader* shader, GLuint texture, glm::vec3 offset = glm::vec3(0.0f))
{
    const float positions[] = { -1 + offset.x, -1 + offset.y, offset.z, 1 + offset.x, -1 + offset.y, offset.z, offset.x,
        1 + offset.y, offset.z };
    const float normals[9] = {};
    const float uvs[6] = {};
    const unsigned int indices[] = { 0, 1, 2 };
    Material material;
    material.diffuse = glm::vec4(1.0f);
    return new Mesh(shader, normals, uvs, positions, indices, 3, 3, texture, 1, GL_TRIANGLES, material);
}
}

// The transforms touch no GL state.
TEST(ModelTransform, QuarterTurnsPlacingAndMovingFollowTheModelsOwnAxes)
{
    Model model(glm::mat4(1.0f), {}, nullptr);
    model.setPosition(glm::vec3(1, 2, 3));
    glm::mat4 start = model.modelMatrix;
    for (int i = 0; i < 4; ++i)
        model.rotate(1.0f, yAxis);
    expectNear(model.modelMatrix, start);
    EXPECT_EQ(model.getPosition(), glm::vec3(1, 2, 3));

    Model turned(glm::mat4(1.0f), {}, nullptr);
    turned.rotate(1.18f, yAxis);
    expectNear(turned.modelMatrix, glm::rotate(glm::mat4(1.0f), glm::radians(106.2f), yAxis));
    turned.placeAt(glm::vec3(4, 5, 6));
    EXPECT_EQ(turned.modelMatrix, glm::translate(glm::mat4(1.0f), glm::vec3(4, 5, 6))) << "placeAt drops the turn";
    EXPECT_EQ(turned.getPosition(), glm::vec3(4, 5, 6));

    Model mover(glm::mat4(1.0f), {}, nullptr);
    mover.setPosition(glm::vec3(1, 0, 1));
    mover.rotate(1.0f, yAxis);
    expectNear(mover.forward(), glm::vec3(1, 0, 0));
    glm::vec3 predicted = mover.transformPoint(glm::vec3(0, 0, 1));
    EXPECT_EQ(mover.getPosition(), glm::vec3(1, 0, 1)) << "transformPoint does not move the model";
    mover.translate(glm::vec3(0, 0, 1));
    expectNear(mover.getPosition(), glm::vec3(2, 0, 1));
    expectNear(predicted, mover.getPosition());
    EXPECT_EQ(mover.getPosition(), glm::vec3(mover.modelMatrix[3]));

    // setPosition and setHeight keep the turn and replace only the translation.
    glm::mat4 before = mover.modelMatrix;
    mover.setHeight(7.5f);
    EXPECT_EQ(mover.getPosition(), glm::vec3(glm::vec3(before[3]).x, 7.5f, glm::vec3(before[3]).z));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(mover.modelMatrix[c], before[c]);
    EXPECT_EQ(mover.modelMatrix[3], glm::vec4(mover.getPosition(), 1.0f));
}

using ModelMeshes = ModelFixture;

TEST_F(ModelMeshes, MeshAccessAndRotateMeshCheckTheIndex)
{
    Shader* shader = &unlitShader();
    std::unique_ptr<Model> model(new Model(
        glm::mat4(1.0f), { triangle(shader, loader().whiteTexture), triangle(shader, loader().whiteTexture) }, shader));
    EXPECT_EQ(model->mesh(1), model->meshes[1]);
    EXPECT_EQ(model->mesh(2), nullptr);
    model->rotateMesh(5, 90.0f, yAxis, glm::vec3(0));
    EXPECT_EQ(model->meshes[0]->meshMatrix, glm::mat4(1.0f));
    EXPECT_EQ(model->meshes[1]->meshMatrix, glm::mat4(1.0f));

    glm::vec3 pivot(0.5f, 0.0f, 0.0f);
    model->rotateMesh(1, 90.0f, yAxis, pivot);
    EXPECT_EQ(model->meshes[0]->meshMatrix, glm::mat4(1.0f));
    expectNear(glm::vec3(model->meshes[1]->meshMatrix * glm::vec4(pivot, 1.0f)), pivot);
    EXPECT_NE(model->meshes[1]->meshMatrix, glm::mat4(1.0f));
}

TEST_F(ModelMeshes, DestructionDeletesEachOwnTextureOnceAndSparesTheDefaults)
{
    ASSERT_LE(loader().whiteTexture, 2u) << "the fixture's loader made the first two textures";
    GLuint own[2] = {};
    glGenTextures(2, own);
    for (GLuint name : own) {
        glBindTexture(GL_TEXTURE_2D, name);
        const unsigned char texel[4] = { 255, 255, 255, 255 };
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    Shader* shader = &unlitShader();
    std::vector<Mesh*> meshes = { triangle(shader, own[0]), triangle(shader, own[0]), triangle(shader, own[1]),
        triangle(shader, loader().defaultTexture), triangle(shader, loader().whiteTexture), triangle(shader, 0) };
    GLuint vertexArray = meshes[0]->vertexArray;
    delete new Model(glm::mat4(1.0f), meshes, shader);
    EXPECT_FALSE(glIsTexture(own[0]));
    EXPECT_FALSE(glIsTexture(own[1]));
    EXPECT_FALSE(glIsVertexArray(vertexArray)) << "the meshes die with the model";
    EXPECT_TRUE(glIsTexture(loader().defaultTexture));
    EXPECT_TRUE(glIsTexture(loader().whiteTexture));
}

TEST_F(ModelMeshes, DrawUsesTheModelMatrixAndSkipsMeshesFlaggedInvisible)
{
    Shader* shader = &unlitShader();
    // Left and right triangles, seen from (0, 0, 3).
    Model model(glm::mat4(1.0f),
        { triangle(shader, loader().whiteTexture, glm::vec3(-1.2f, 0, 0)),
            triangle(shader, loader().whiteTexture, glm::vec3(1.2f, 0, 0)) },
        shader);
    const int left = width / 2 - 250;
    const int right = width / 2 + 250;
    const int middle = height / 2;
    const std::vector<unsigned char> white { 255, 255, 255, 255 };
    const std::vector<unsigned char> black { 0, 0, 0, 255 };

    beginUnlitFrame();
    const bool onlyRight[] = { false, true };
    model.draw(shader, onlyRight);
    EXPECT_EQ(pixelAt(left, middle)[0], 0);
    EXPECT_EQ(pixelAt(right, middle), white);

    beginUnlitFrame();
    model.translate(glm::vec3(0, 10, 0));
    model.draw();
    EXPECT_EQ(pixelAt(left, middle)[0], 0) << "moved out of view";
    EXPECT_EQ(pixelAt(right, middle)[0], 0);

    beginUnlitFrame();
    model.placeAt(glm::vec3(0));
    model.draw();
    EXPECT_EQ(pixelAt(left, middle), white);
    EXPECT_EQ(pixelAt(right, middle), white);
}
