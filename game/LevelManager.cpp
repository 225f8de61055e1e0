#include "game/LevelManager.h"

#include "game/Heightmap.h"
#include "game/Level.h"
#include "render/Model.h"
#include "render/ModelLoader.h"
#include "render/SharedTextures.h"
#include "render/TextureLoader.h"

#include <string>
#include <vector>

namespace {
// Distance between neighbouring grid points of the floor.
const float floorSpacing = 0.1f;

struct LevelConstants {
    glm::vec3 startPlacement;
    glm::vec3 ambientLight;
    glm::vec3 lightPosition;
    glm::vec3 lightDirection;
    Material floorMaterial;
    const char* heightPicture;
    const char* paintPicture;
    const char* originalPicture;
    const char* roomModel;
    float roomScale;
};

Material material(glm::vec4 ambient, glm::vec4 diffuse, glm::vec4 specular)
{
    Material result;
    result.ambient = ambient;
    result.diffuse = diffuse;
    result.specular = specular;
    return result;
}

// The long constants were measured in double precision; they are stored as float.
const LevelConstants tutorialRoom = {
    glm::vec3(0.808716, 0, 5.59216),
    glm::vec3(0.1f, 0.1f, 0.1f),
    glm::vec3(1.07096028, 7.41268396, 3.38264966),
    glm::vec3(0.515969813, -2.17713284, 0.00492164912),
    material(glm::vec4(1.0f, 1.0f, 1.0f, 1.0f), glm::vec4(1.0f, 1.0f, 0.8f, 1.0f), glm::vec4(0.2f, 0.2f, 0.2f, 1.0f)),
    "Resources/tutorial_level_floor.png",
    "Resources/tutorial_level_paint.png",
    "Resources/tutorial_level_original.png",
    "Resources/tutorialRoom.3ds",
    1.0f,
};

const LevelConstants serverRoom = {
    glm::vec3(3.0f, -1.0f, 9.5f),
    glm::vec3(0.2f, 0.2f, 0.15f),
    glm::vec3(14.2045946, 3.20135546, 9.54005814),
    glm::vec3(-1.30702174, -1.14488542, -1.40740407),
    material(glm::vec4(0.5f, 0.5f, 0.5f, 0.0f), glm::vec4(1.0f, 1.0f, 1.0f, 0.0f), glm::vec4(1.0f, 1.0f, 1.0f, 0.0f)),
    "Resources/server_floor.png",
    "Resources/floor_server_paint.png",
    "Resources/floor_server_original.png",
    "Resources/serverraum.3ds",
    5.5f,
};

const char* floorTexturePath = "Resources/floor.jpg";
const int paintUnit = 3;
const int originalUnit = 1;
const int floorTextureUnit = 1;
}

LevelManager::LevelManager(
    Shader* modelShader, Shader* floorShader, TextureLoader* textureLoader, ModelLoader* modelLoader, Camera* camera)
    : modelShader(modelShader)
    , floorShader(floorShader)
    , textureLoader(textureLoader)
    , modelLoader(modelLoader)
    , camera(camera)
    , heightmap(new Heightmap(textureLoader, floorShader, floorSpacing))
{
}

Level* LevelManager::createLevel(int number)
{
    if (number < 0 || number > 2)
        return nullptr;
    glm::vec3 startPlacement(0.0f);
    glm::vec3 ambientLight(0.0f);
    glm::vec3 lightPosition(0.0f);
    glm::vec3 lightDirection(0.0f);
    std::vector<Model*> models;
    if (number != 0) {
        const LevelConstants& level = number == 1 ? tutorialRoom : serverRoom;
        startPlacement = level.startPlacement;
        ambientLight = level.ambientLight;
        lightPosition = level.lightPosition;
        lightDirection = level.lightDirection;
        GLuint floorTexture = textureLoader->loadTexture(floorTexturePath, floorTextureUnit);
        GLuint previousFloorTexture = heightmap->floorTexture;
        heightmap->loadFloor(level.heightPicture, floorTexture, level.floorMaterial);
        // The floor that used it is gone.
        SharedTextures::release(previousFloorTexture);
        heightmap->loadPictures(level.paintPicture, paintUnit, level.originalPicture, originalUnit);
        if (Model* room = modelLoader->loadModel(level.roomModel, modelShader, level.roomScale)) {
            room->setPosition(glm::vec3(0.0f));
            models.push_back(room);
        }
    }
    return new Level(modelShader, floorShader, heightmap, models, camera, startPlacement, ambientLight, lightPosition,
        lightDirection);
}
