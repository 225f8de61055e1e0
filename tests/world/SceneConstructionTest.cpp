#include "game/FloorMesh.h"
#include "game/Heightmap.h"
#include "game/Level.h"
#include "render/Camera.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "tests/world/SceneFixture.h"
#include "world/PlayerModel.h"

#include <cmath>

using SceneConstructionTest = SceneFixture;

TEST_F(SceneConstructionTest, StartsOnTheTutorialWithTheVehicleAndTheRoomInTheDrawList)
{
    EXPECT_EQ(scene->levelIndex, 1);
    EXPECT_EQ(scene->lastLevelIndex, 2);
    EXPECT_EQ(scene->pendingLevel, -1);
    EXPECT_EQ(scene->gameState, 0);
    EXPECT_FALSE(scene->introRunning);
    EXPECT_EQ(scene->introClock, 0.0f);
    EXPECT_EQ(scene->meshesDrawn, 0u);
    EXPECT_EQ(scene->brushColour, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));

    ASSERT_NE(scene->level, nullptr);
    ASSERT_EQ(scene->level->models.size(), 1u) << "the tutorial room";
    ASSERT_EQ(scene->modelList->models.size(), 2u);
    EXPECT_EQ(scene->modelList->models[0], scene->player->model);
    EXPECT_EQ(scene->modelList->models[1], scene->level->models[0]);
    EXPECT_EQ(scene->modelList->indexOf(scene->paleface), -1) << "the figure joins only during the intro";
    EXPECT_GE(scene->player->model->meshes.size(), 13u);
    EXPECT_EQ(scene->player->trackA, scene->player->model->meshes[1]);
    EXPECT_EQ(scene->player->trackB, scene->player->model->meshes[12]);
    ASSERT_NE(scene->crosshair, nullptr);
    ASSERT_NE(scene->paleface, nullptr);

    glm::vec3 start = scene->player->position();
    EXPECT_FLOAT_EQ(start.x, 0.808716f);
    EXPECT_FLOAT_EQ(start.z, 5.59216f);
    EXPECT_FLOAT_EQ(start.y, scene->level->heightmap->heightAt(0.808716f, 5.59216f));
    glm::vec3 eye = start - 0.2f * scene->player->forward() + glm::vec3(0.0f, 0.6f, 0.0f);
    EXPECT_LT(glm::length(scene->camera->position - eye), 1e-5f) << "the camera follows the vehicle";

    EXPECT_TRUE(glIsTexture(scene->shadowTexture));
    EXPECT_TRUE(glIsFramebuffer(scene->shadowFramebuffer));
}

TEST_F(SceneConstructionTest, LoadingALevelReplacesTheRoomAndStandsTheVehicleAtTheStart)
{
    scene->loadLevel(2);
    EXPECT_EQ(scene->levelIndex, 2);
    ASSERT_EQ(scene->level->models.size(), 1u);
    ASSERT_EQ(scene->modelList->models.size(), 2u) << "the vehicle and one room";
    EXPECT_EQ(scene->modelList->models[0], scene->player->model);
    EXPECT_EQ(scene->modelList->models[1], scene->level->models[0]);

    Heightmap* heightmap = scene->level->heightmap;
    glm::vec3 start = scene->player->position();
    EXPECT_FLOAT_EQ(start.x, 3.0f);
    EXPECT_FLOAT_EQ(start.z, 9.5f);
    EXPECT_FLOAT_EQ(start.y, heightmap->heightAt(3.0f, 9.5f));
    EXPECT_LT(glm::length(scene->player->forward() - glm::vec3(-1.0f, 0.0f, 0.0f)), 1e-5f) << "turned to face -x";
    glm::vec3 eye = start - 0.2f * scene->player->forward() + glm::vec3(0.0f, 0.6f, 0.0f);
    EXPECT_LT(glm::length(scene->camera->position - eye), 1e-5f);
    EXPECT_EQ(scene->brushColour, glm::vec4(heightmap->currentColour(), 1.0f));
    EXPECT_EQ(gameScreens->ballCount, heightmap->currentColourCount());
    EXPECT_EQ(gameScreens->ballColour, heightmap->currentColour());
    drawFrame();
    EXPECT_EQ(glErrors(), "");

    // Any other number is the empty level: no room, no light, the floor left as it was.
    FloorMesh* floor = heightmap->floorMesh;
    scene->loadLevel(7);
    EXPECT_EQ(scene->levelIndex, 0);
    EXPECT_TRUE(scene->level->models.empty());
    ASSERT_EQ(scene->modelList->models.size(), 1u);
    EXPECT_EQ(scene->level->lightPosition, glm::vec3(0.0f));
    EXPECT_EQ(scene->level->heightmap->floorMesh, floor);
    drawFrame();
    EXPECT_EQ(glErrors(), "") << "a level without a light still draws";
}
