#include "game/Level.h"
#include "input/InputState.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "render/TextureLoader.h"
#include "tests/world/SceneFixture.h"
#include "world/PlayerModel.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// Drives the tracks and draws a few frames as the main loop would.
void driveAFewFrames(Scene* scene, InputState* input)
{
    for (int frame = 0; frame < 3; ++frame) {
        scene->player->setTrackSpeedA(1.0f);
        scene->player->setTrackSpeedB(-1.0f);
        scene->player->steerTracks(1.0f);
        input->press(GLFW_KEY_SPACE);
        scene->update(0.016);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
        input->release(GLFW_KEY_SPACE);
    }
}
}

// A scene built in a run folder of the test's own, whose vehicle file is missing or too small.
class SceneRunFolderTest : public SceneFixture {
protected:
    void enter(const std::string& runFolder)
    {
        folder = runFolder;
        previous = fs::current_path();
        fs::current_path(folder);
        SceneFixture::SetUp();
    }

    void SetUp() override { }

    void TearDown() override
    {
        if (!previous.empty())
            fs::current_path(previous);
        if (!folder.empty())
            fs::remove_all(folder);
        SceneFixture::TearDown();
    }

    std::string folder;
    fs::path previous;
};

TEST_F(SceneRunFolderTest, WithoutAVehicleFileAnEmptyModelStandsInAndTheGameGoesOn)
{
    enter(makeRunFolder("scene-novehicle", { "Resources/Tintbox.3ds" }));
    if (IsSkipped())
        return;
    ASSERT_NE(scene->player, nullptr);
    Model* vehicle = scene->player->model;
    ASSERT_NE(vehicle, nullptr);
    EXPECT_TRUE(vehicle->meshes.empty());
    EXPECT_EQ(scene->player->trackA, nullptr);
    EXPECT_EQ(scene->player->trackB, nullptr);
    EXPECT_EQ(scene->modelList->models[0], vehicle) << "the stand-in is placed and drawn like the vehicle";
    EXPECT_FLOAT_EQ(vehicle->getPosition().x, 0.808716f);
    EXPECT_FALSE(scene->collides(vehicle->getPosition()));
    driveAFewFrames(scene, input);
    EXPECT_NE(scene->player->trackOffsetA, 0.0f) << "the offsets run, nothing is uploaded";
    EXPECT_EQ(glErrors(), "");
}

TEST_F(SceneRunFolderTest, AVehicleWithFewerThanThirteenMeshesDrivesWithoutItsMissingTrack)
{
    // The intro figure has fewer meshes than the vehicle needs.
    enter(makeRunFolder(
        "scene-smallvehicle", { "Resources/Tintbox.3ds" }, { { "Resources/Tintbox.3ds", "Resources/paleface.3ds" } }));
    if (IsSkipped())
        return;
    Model* vehicle = scene->player->model;
    ASSERT_GT(vehicle->meshes.size(), 1u);
    ASSERT_LT(vehicle->meshes.size(), 13u);
    EXPECT_EQ(scene->player->trackA, vehicle->meshes[1]);
    EXPECT_EQ(scene->player->trackB, nullptr);
    std::vector<float> before = scene->player->trackA->uvs;
    driveAFewFrames(scene, input);
    EXPECT_NE(scene->player->trackA->uvs, before) << "the one track there is still slides";
    EXPECT_EQ(glErrors(), "");
}

TEST(SceneShaderTest, AMissingShaderStopsTheSceneBeforeAnyModelFileIsOpened)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The last of the four programs is missing, and so is every model file: opening one
    // would be reported.
    std::string folder = makeRunFolder("scene-noshader",
        { "Shader/heightmapShader.frag", "Resources/crosshair.obj", "Resources/Tintbox.3ds", "Resources/paleface.3ds",
            "Resources/tutorialRoom.3ds" });
    EXPECT_EXIT(
        {
            fs::current_path(folder);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            glfwInit();
            glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
            glfwMakeContextCurrent(glfwCreateWindow(320, 240, "shader test", nullptr, nullptr));
            glewInit();
            int w = 320;
            int h = 240;
            TextureLoader* textureLoader = new TextureLoader();
            InputState* input = new InputState(&w, &h);
            new Scene(input, textureLoader, nullptr, &w, &h);
        },
        testing::ExitedWithCode(255),
        testing::AllOf(testing::HasSubstr("Failed to load Shader \"Shader/heightmapShader.frag\""),
            testing::Not(testing::HasSubstr("ModelLoader"))));
    fs::remove_all(folder);
}
