#include "game/Level.h"
#include "game/FloorMesh.h"
#include "game/Heightmap.h"
#include "game/LevelManager.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "render/ModelLoader.h"
#include "tests/render/ModelFixture.h"

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>

namespace {
using PixelFunction = std::function<glm::u8vec4(unsigned int column, unsigned int row)>;

// Rows counted from the top of the picture.
void writePixels(const std::string& path, unsigned int width, unsigned int height, const PixelFunction& pixel,
    FREE_IMAGE_FORMAT format = FIF_PNG)
{
    FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32);
    for (unsigned int row = 0; row < height; ++row) {
        BYTE* line = FreeImage_GetScanLine(picture, static_cast<int>(height - 1 - row));
        for (unsigned int column = 0; column < width; ++column) {
            glm::u8vec4 rgba = pixel(column, row);
            line[column * 4 + FI_RGBA_RED] = rgba.r;
            line[column * 4 + FI_RGBA_GREEN] = rgba.g;
            line[column * 4 + FI_RGBA_BLUE] = rgba.b;
            line[column * 4 + FI_RGBA_ALPHA] = rgba.a;
        }
    }
    if (format == FIF_JPEG) {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(picture);
        FreeImage_Save(format, rgb, path.c_str(), 0);
        FreeImage_Unload(rgb);
    } else {
        FreeImage_Save(format, picture, path.c_str(), 0);
    }
    FreeImage_Unload(picture);
}

// A room of one wall triangle with a texture of its own, written as 3DS.
void writeRoom(const std::string& path, float size)
{
    std::unique_ptr<aiScene> scene(new aiScene);
    scene->mRootNode = new aiNode("room");
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh*[1];
    aiMesh* mesh = new aiMesh;
    scene->mMeshes[0] = mesh;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = 3;
    mesh->mVertices = new aiVector3D[3] { { 0, 0, -1 }, { size, 0, -1 }, { 0, size, -1 } };
    mesh->mNumUVComponents[0] = 2;
    mesh->mTextureCoords[0] = new aiVector3D[3] { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } };
    mesh->mNumFaces = 1;
    mesh->mFaces = new aiFace[1];
    mesh->mFaces[0].mNumIndices = 3;
    mesh->mFaces[0].mIndices = new unsigned int[3] { 0, 1, 2 };
    scene->mRootNode->mNumMeshes = 1;
    scene->mRootNode->mMeshes = new unsigned int[1] { 0 };
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1];
    scene->mMaterials[0] = new aiMaterial;
    aiString texture("wallpaper.png");
    scene->mMaterials[0]->AddProperty(&texture, AI_MATKEY_TEXTURE_DIFFUSE(0));
    Assimp::Exporter exporter;
    ASSERT_EQ(exporter.Export(scene.get(), "3ds", path), AI_SUCCESS) << exporter.GetErrorString();
}

// The two levels' files, small: height pictures whose red byte is the column number, white
// paint pictures and red target pictures.
void writeLevelFiles()
{
    writePixels(
        "Resources/floor.jpg", 8, 8, [](unsigned int, unsigned int) { return glm::u8vec4(90, 90, 90, 255); }, FIF_JPEG);
    writePixels(
        "Resources/wallpaper.png", 2, 2, [](unsigned int, unsigned int) { return glm::u8vec4(0, 0, 255, 255); });
    PixelFunction columnHeight = [](unsigned int column, unsigned int) { return glm::u8vec4(column, 0, 0, 255); };
    PixelFunction white = [](unsigned int, unsigned int) { return glm::u8vec4(255, 255, 255, 255); };
    PixelFunction red = [](unsigned int, unsigned int) { return glm::u8vec4(255, 0, 0, 255); };
    writePixels("Resources/tutorial_level_floor.png", 61, 61, columnHeight);
    writePixels("Resources/tutorial_level_paint.png", 60, 60, white);
    writePixels("Resources/tutorial_level_original.png", 60, 60, red);
    writePixels("Resources/server_floor.png", 101, 101, columnHeight);
    writePixels("Resources/floor_server_paint.png", 100, 100, white);
    writePixels("Resources/floor_server_original.png", 100, 100, red);
    writeRoom("Resources/tutorialRoom.3ds", 1.0f);
    writeRoom("Resources/serverraum.3ds", 1.0f);
}

Shader& gameShader(const std::string& name)
{
    // Programs live as long as the context, like the game's.
    static auto* shaders = new std::map<std::string, Shader*>;
    Shader*& shader = (*shaders)[name];
    if (!shader)
        shader = new Shader(buildPath("Shader/" + name + ".vert"), buildPath("Shader/" + name + ".frag"));
    return *shader;
}

void expectNear(glm::vec3 a, glm::vec3 b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}
}

class GameLevels : public ModelFixture {
protected:
    void SetUp() override
    {
        ModelFixture::SetUp();
        static bool written = false;
        if (!written)
            writeLevelFiles();
        written = true;
        modelLoader.reset(new ModelLoader(&loader()));
        camera.reset(new Camera(glm::vec3(0.0f), &windowWidth, &windowHeight));
        camera->updateProjection();
        drawList.reset(new ModelList(camera.get()));
        manager.reset(new LevelManager(
            &gameShader("diffuse"), &gameShader("heightmapShader"), &loader(), modelLoader.get(), camera.get()));
        player.reset(new Model(glm::mat4(1.0f), {}, &gameShader("diffuse")));
        drawList->add(player.get());
    }

    void TearDown() override
    {
        level.reset();
        // The game's manager keeps its floor for the whole run; a test's run ends here.
        if (manager)
            delete manager->heightmap;
        ModelFixture::TearDown();
    }

    // What the scene's loadLevel does with a new level.
    void switchTo(int number)
    {
        level.reset();
        level.reset(manager->createLevel(number));
        ASSERT_TRUE(level);
        level->registerModels(drawList.get());
        level->placePlayer(player.get());
    }

    int windowWidth = width;
    int windowHeight = height;
    std::unique_ptr<ModelLoader> modelLoader;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<ModelList> drawList;
    std::unique_ptr<LevelManager> manager;
    std::unique_ptr<Model> player;
    std::unique_ptr<Level> level;
};

TEST_F(GameLevels, TheTutorialRoomCarriesItsConstantsFloorAndRoom)
{
    switchTo(1);
    EXPECT_EQ(level->startPlacement, glm::vec3(float(0.808716), 0.0f, float(5.59216)));
    EXPECT_EQ(level->ambientLight, glm::vec3(0.1f, 0.1f, 0.1f));
    EXPECT_EQ(level->lightPosition, glm::vec3(float(1.07096028), float(7.41268396), float(3.38264966)));
    EXPECT_EQ(level->lightDirection, glm::vec3(float(0.515969813), float(-2.17713284), float(0.00492164912)));
    EXPECT_TRUE(level->introPending);
    EXPECT_EQ(level->camera, camera.get());
    EXPECT_EQ(level->modelShader, &gameShader("diffuse"));
    EXPECT_EQ(level->floorShader, &gameShader("heightmapShader"));

    Heightmap* heightmap = manager->heightmap;
    EXPECT_EQ(level->heightmap, heightmap);
    EXPECT_EQ(heightmap->spacing, 0.1f);
    ASSERT_TRUE(heightmap->floorMesh);
    EXPECT_EQ(heightmap->cellsX, 60u);
    EXPECT_EQ(heightmap->floorMesh->material.diffuse, glm::vec4(1.0f, 1.0f, 0.8f, 1.0f));
    EXPECT_EQ(heightmap->floorMesh->material.ambient, glm::vec4(1.0f));
    EXPECT_EQ(heightmap->floorMesh->material.specular, glm::vec4(0.2f, 0.2f, 0.2f, 1.0f));
    EXPECT_GT(heightmap->floorTexture, 2u) << "floor.jpg loaded";
    EXPECT_EQ(heightmap->floorTextureUnit, 1);
    EXPECT_EQ(heightmap->floorMesh->paintLayerUnit, 3);
    EXPECT_EQ(heightmap->currentColour(), glm::vec3(1, 0, 0));
    EXPECT_EQ(heightmap->currentColourCount(), 60 * 60) << "every pixel is a red target";

    ASSERT_EQ(level->models.size(), 1u);
    Model* room = level->models[0];
    EXPECT_EQ(drawList->models, (std::vector<Model*> { player.get(), room }));
    EXPECT_EQ(room->modelMatrix, glm::mat4(1.0f));
    ASSERT_EQ(room->meshes.size(), 1u);
    EXPECT_EQ(room->meshes[0]->boundsMax.x, 1.0f) << "scale 1";
    EXPECT_GT(room->meshes[0]->texture, 2u);

    // Column 8 of the height picture holds red 8.
    float expectedHeight = 8 / 64.0f;
    EXPECT_EQ(heightmap->heightAt(float(0.808716), float(5.59216)), expectedHeight);
    EXPECT_EQ(player->getPosition(), glm::vec3(float(0.808716), expectedHeight, float(5.59216)));
    EXPECT_EQ(player->modelMatrix, glm::translate(glm::mat4(1.0f), player->getPosition())) << "level 1 is unturned";
}

TEST_F(GameLevels, SwitchingToTheServerRoomLeavesOneRoomAndTurnsThePlayer)
{
    switchTo(1);
    player->rotate(0.5f, glm::vec3(0, 1, 0));
    GLuint tutorialTexture = level->models[0]->meshes[0]->texture;
    GLuint tutorialFloorTexture = manager->heightmap->floorTexture;
    switchTo(2);
    EXPECT_FALSE(glIsTexture(tutorialTexture)) << "the tutorial room was deleted";
    EXPECT_FALSE(glIsTexture(tutorialFloorTexture)) << "the tutorial floor's texture went with its floor";
    ASSERT_EQ(level->models.size(), 1u);
    EXPECT_EQ(drawList->models, (std::vector<Model*> { player.get(), level->models[0] }));
    EXPECT_EQ(level->models[0]->meshes[0]->boundsMax.x, 5.5f) << "the server room is scaled by 5.5";

    EXPECT_EQ(level->startPlacement, glm::vec3(3.0f, -1.0f, 9.5f));
    EXPECT_EQ(level->ambientLight, glm::vec3(0.2f, 0.2f, 0.15f));
    EXPECT_EQ(level->lightPosition, glm::vec3(float(14.2045946), float(3.20135546), float(9.54005814)));
    EXPECT_EQ(level->lightDirection, glm::vec3(float(-1.30702174), float(-1.14488542), float(-1.40740407)));
    Heightmap* heightmap = manager->heightmap;
    EXPECT_EQ(heightmap->cellsX, 100u);
    EXPECT_EQ(heightmap->floorMesh->material.ambient, glm::vec4(0.5f, 0.5f, 0.5f, 0.0f));
    EXPECT_EQ(heightmap->floorMesh->material.diffuse, glm::vec4(1.0f, 1.0f, 1.0f, 0.0f));
    EXPECT_EQ(heightmap->floorMesh->material.specular, glm::vec4(1.0f, 1.0f, 1.0f, 0.0f));

    float expectedHeight = heightmap->heightAt(3.0f, 9.5f);
    EXPECT_EQ(expectedHeight, 30 / 64.0f);
    expectNear(player->getPosition(), glm::vec3(3.0f, expectedHeight, 9.5f));
    // Turned by -90 degrees; the earlier half turn is dropped.
    expectNear(player->forward(), glm::vec3(-1, 0, 0));
}

TEST_F(GameLevels, OtherNumbersGiveNullOrAnEmptyLevelOverTheOldFloor)
{
    EXPECT_EQ(manager->createLevel(7), nullptr);
    EXPECT_EQ(manager->createLevel(-1), nullptr);

    switchTo(1);
    FloorMesh* floor = manager->heightmap->floorMesh;
    int budget = manager->heightmap->currentColourCount();
    switchTo(0);
    EXPECT_EQ(drawList->models, (std::vector<Model*> { player.get() })) << "the tutorial room left the list";
    EXPECT_TRUE(level->models.empty());
    EXPECT_EQ(level->lightPosition, glm::vec3(0.0f));
    EXPECT_EQ(level->lightDirection, glm::vec3(0.0f));
    EXPECT_EQ(level->ambientLight, glm::vec3(0.0f));
    EXPECT_EQ(manager->heightmap->floorMesh, floor) << "the floor stays as it was";
    EXPECT_EQ(manager->heightmap->currentColourCount(), budget);
    EXPECT_EQ(player->getPosition(), glm::vec3(0.0f, manager->heightmap->heightAt(0, 0), 0.0f));
}

TEST_F(GameLevels, AMissingRoomModelLeavesALevelWithoutRoom)
{
    std::filesystem::rename("Resources/serverraum.3ds", "Resources/serverraum.away");
    testing::internal::CaptureStdout();
    level.reset(manager->createLevel(2));
    std::string printed = testing::internal::GetCapturedStdout();
    std::filesystem::rename("Resources/serverraum.away", "Resources/serverraum.3ds");
    ASSERT_TRUE(level);
    EXPECT_TRUE(level->models.empty());
    EXPECT_EQ(printed, "ModelLoader: Couldn't open file: Resources/serverraum.3ds\n");
    EXPECT_TRUE(manager->heightmap->floorMesh);
}

TEST_F(GameLevels, LightingUniformsAndPaintingUnderTheCrosshairNearThePlayer)
{
    switchTo(1);
    Shader& floorShader = gameShader("heightmapShader");
    level->applyLighting(&floorShader);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(GLuint(current), floorShader.program);
    glm::vec3 ambient(0.0f);
    glm::vec3 light(0.0f);
    glGetUniformfv(floorShader.program, glGetUniformLocation(floorShader.program, "ambientLight"), &ambient.x);
    glGetUniformfv(floorShader.program, glGetUniformLocation(floorShader.program, "lightPosition"), &light.x);
    EXPECT_EQ(ambient, level->ambientLight);
    EXPECT_EQ(light, level->lightPosition);

    // The eye looks down at the floor just in front of the player.
    glm::vec3 p = player->getPosition();
    camera->position = glm::vec3(p.x, p.y + 1.0f, p.z + 0.5f);
    camera->setDirection(glm::vec3(0.0f, -2.0f, -1.0f));
    auto drawFloorAndPaint = [&](glm::vec4 colour) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        floorShader.use();
        glm::mat4 projection = camera->projection * camera->viewMatrix();
        glUniformMatrix4fv(
            glGetUniformLocation(floorShader.program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection));
        level->drawFloor(&floorShader);
        level->paintAtCrosshair(colour);
    };
    Heightmap* heightmap = manager->heightmap;
    int budget = heightmap->currentColourCount();

    drawFloorAndPaint(glm::vec4(heightmap->currentColour(), 1.0f));
    glm::vec3 hit = camera->pickCentre();
    EXPECT_NEAR(hit.z, p.z, 0.8f) << "the pick lands on the floor in reach";
    EXPECT_EQ(heightmap->currentColourCount(), budget - 1) << "one pixel painted";

    // paintWithCurrentColour paints the same pixel again: nothing more is spent.
    level->paintWithCurrentColour();
    EXPECT_EQ(heightmap->currentColourCount(), budget - 1);

    // Out of reach: the player stands far from the crosshair's point.
    camera->position.x += 0.3f;
    player->placeAt(glm::vec3(p.x + 3.0f, p.y, p.z));
    drawFloorAndPaint(glm::vec4(heightmap->currentColour(), 1.0f));
    EXPECT_EQ(heightmap->currentColourCount(), budget - 1);

    // A pick that is not a number lies in no square.
    player->placeAt(p);
    camera->direction = glm::vec3(std::numeric_limits<float>::quiet_NaN());
    drawFloorAndPaint(glm::vec4(heightmap->currentColour(), 1.0f));
    EXPECT_TRUE(std::isnan(camera->pickCentre().x));
    EXPECT_EQ(heightmap->currentColourCount(), budget - 1);
}

// The same steps on the files the resource generator writes into the build folder.
class GeneratedLevels : public GameLevels {
protected:
    void SetUp() override
    {
        GameLevels::SetUp();
        std::filesystem::current_path(TINTBOX_BUILD_DIR);
    }
};

TEST_F(GeneratedLevels, BothLevelsBuildWithRoomsFloorsPicturesAndLightsWithoutAComplaint)
{
    for (int number : { 1, 2 }) {
        testing::internal::CaptureStdout();
        switchTo(number);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "level " << number;
        Heightmap* heightmap = manager->heightmap;
        ASSERT_TRUE(heightmap->floorMesh) << "level " << number;
        EXPECT_GT(heightmap->floorTexture, 2u);
        EXPECT_GT(heightmap->floorMesh->paintLayerTexture, 2u);
        EXPECT_GT(heightmap->originalTexture, 2u);
        EXPECT_FALSE(heightmap->colourCounts().empty()) << "the target picture asks for paint";
        EXPECT_GT(heightmap->currentColourCount(), 0);
        EXPECT_NE(level->lightDirection, glm::vec3(0.0f));

        ASSERT_EQ(level->models.size(), 1u) << "level " << number;
        Model* room = level->models[0];
        EXPECT_FALSE(room->meshes.empty());
        EXPECT_EQ(drawList->models, (std::vector<Model*> { player.get(), room }));

        float floorHeight = heightmap->heightAt(level->startPlacement.x, level->startPlacement.z);
        EXPECT_GE(floorHeight, 0.0f) << "the start place lies on the floor";
        expectNear(player->getPosition(), glm::vec3(level->startPlacement.x, floorHeight, level->startPlacement.z));
        expectNear(player->forward(), number == 1 ? glm::vec3(0, 0, 1) : glm::vec3(-1, 0, 0));

        // Looking steeply down in front of the player, the crosshair paints one pixel.
        glm::vec3 p = player->getPosition();
        camera->position = glm::vec3(p.x, p.y + 1.0f, p.z + 0.5f);
        camera->setDirection(glm::vec3(0.0f, -2.0f, -1.0f));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Shader& floorShader = gameShader("heightmapShader");
        floorShader.use();
        glm::mat4 projection = camera->projection * camera->viewMatrix();
        glUniformMatrix4fv(
            glGetUniformLocation(floorShader.program, "projectionMatrix"), 1, GL_FALSE, glm::value_ptr(projection));
        level->drawFloor(&floorShader);
        int budget = heightmap->currentColourCount();
        level->paintWithCurrentColour();
        EXPECT_EQ(heightmap->currentColourCount(), budget - 1) << "level " << number;
    }
}
