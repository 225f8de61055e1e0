#include "world/PlayerModel.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/Shader.h"
#include "tests/support/GlTest.h"

#include <vector>

namespace {
// A model of `count` one-triangle meshes whose u coordinates start at 0, 0.5 and 1.
Model* makeVehicle(Shader* shader, unsigned int count)
{
    const float positions[] = { 0, 0, 0, 1, 0, 0, 0, 1, 0 };
    const float normals[] = { 0, 0, 1, 0, 0, 1, 0, 0, 1 };
    const float uvs[] = { 0, 0, 0.5f, 0, 1, 1 };
    const unsigned int indices[] = { 0, 1, 2 };
    std::vector<Mesh*> meshes;
    for (unsigned int i = 0; i < count; ++i)
        meshes.push_back(new Mesh(shader, normals, uvs, positions, indices, 3, 3, 0, 0, GL_TRIANGLES, Material()));
    return new Model(glm::mat4(1.0f), meshes, shader);
}

std::vector<float> uploadedUvs(const Mesh* mesh)
{
    std::vector<float> data(mesh->vertexCount * 2);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->uvBuffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return data;
}
}

class PlayerModelTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        shader = new Shader("Shader/diffuse.vert", "Shader/diffuse.frag");
    }
    inline static Shader* shader = nullptr;
};

TEST_F(PlayerModelTest, TracksAreMeshesOneAndTwelve)
{
    Model* model = makeVehicle(shader, 13);
    PlayerModel player(model);
    EXPECT_EQ(player.trackA, model->meshes[1]);
    EXPECT_EQ(player.trackB, model->meshes[12]);

    Model* small = makeVehicle(shader, 5);
    PlayerModel few(small);
    EXPECT_EQ(few.trackA, small->meshes[1]);
    EXPECT_EQ(few.trackB, nullptr) << "a vehicle with fewer meshes has no second track";
    few.setTrackSpeedB(1.0f);
    few.animateTracks(0.5f);
    EXPECT_NEAR(few.trackOffsetB, 0.145f, 1e-6f) << "the offset still runs; nothing is uploaded";
    delete model;
    delete small;
}

TEST_F(PlayerModelTest, ScrollingWrapsTheOffsetAndShiftsTheCoordinatesBack)
{
    Model* model = makeVehicle(shader, 13);
    PlayerModel player(model);
    player.trackOffsetA = 0.95f;
    player.trackSpeedA = 0.1f;
    std::vector<float> before = player.trackA->uvs;
    std::vector<float> untouched = uploadedUvs(player.trackB);
    player.animateTracks(1.0f);
    EXPECT_NEAR(player.trackOffsetA, 0.05f, 1e-6f);
    std::vector<float> after = uploadedUvs(player.trackA);
    for (unsigned int vertex = 0; vertex < 3; ++vertex) {
        EXPECT_NEAR(after[vertex * 2], before[vertex * 2] - 0.9f, 1e-6f) << "u moves by 0.1 - 1";
        EXPECT_FLOAT_EQ(after[vertex * 2 + 1], before[vertex * 2 + 1]) << "v stays";
        EXPECT_FLOAT_EQ(player.trackA->uvs[vertex * 2], after[vertex * 2]);
    }
    EXPECT_EQ(uploadedUvs(player.trackB), untouched) << "a track at speed 0 is not touched";
    EXPECT_EQ(player.trackOffsetB, 0.0f);

    player.trackOffsetA = -0.95f;
    player.trackSpeedA = -0.1f;
    player.animateTracks(1.0f);
    EXPECT_NEAR(player.trackOffsetA, -0.05f, 1e-6f);
    delete model;
}

TEST_F(PlayerModelTest, SteeringFollowsTheTrackTable)
{
    Model* model = makeVehicle(shader, 13);
    PlayerModel player(model);
    player.steerTracks(1.0f);
    EXPECT_FLOAT_EQ(player.trackSpeedA, 0.6f * 0.29f);
    EXPECT_FLOAT_EQ(player.trackSpeedB, -0.6f * 0.29f);

    player.setTrackSpeedA(1.0f);
    player.setTrackSpeedB(1.0f);
    player.steerTracks(1.0f);
    EXPECT_FLOAT_EQ(player.trackSpeedA, 1.2f * 0.29f) << "forwards, turning positive: harder";
    EXPECT_FLOAT_EQ(player.trackSpeedB, 0.6f * 0.29f);

    player.setTrackSpeedA(-1.0f);
    player.setTrackSpeedB(-1.0f);
    player.steerTracks(-1.0f);
    EXPECT_FLOAT_EQ(player.trackSpeedA, -1.2f * 0.29f);
    EXPECT_FLOAT_EQ(player.trackSpeedB, -0.6f * 0.29f);

    player.steerTracks(0.0f);
    EXPECT_FLOAT_EQ(player.trackSpeedA, -1.2f * 0.29f) << "no turn changes nothing";
    delete model;
}
