#include "game/Level.h"

#include "game/Heightmap.h"
#include "render/Camera.h"
#include "render/Model.h"
#include "render/ModelList.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

namespace {
// The player paints only within this distance of the vehicle, in x and in z.
const float paintReach = 0.8f;
}

Level::Level(Shader* modelShader, Shader* floorShader, Heightmap* heightmap, const std::vector<Model*>& models,
    Camera* camera, glm::vec3 startPlacement, glm::vec3 ambientLight, glm::vec3 lightPosition, glm::vec3 lightDirection)
    : heightmap(heightmap)
    , lightPosition(lightPosition)
    , lightDirection(lightDirection)
    , models(models)
    , modelShader(modelShader)
    , floorShader(floorShader)
    , camera(camera)
    , startPlacement(startPlacement)
    , ambientLight(ambientLight)
{
}

Level::~Level()
{
    for (Model* model : models) {
        if (drawList)
            drawList->remove(model);
        delete model;
    }
}

void Level::registerModels(ModelList* list)
{
    drawList = list;
    for (Model* model : models)
        drawList->add(model);
}

void Level::placePlayer(Model* model)
{
    playerModel = model;
    float y = heightmap->heightAt(startPlacement.x, startPlacement.z);
    model->placeAt(glm::vec3(startPlacement.x, y, startPlacement.z));
    model->rotate(startPlacement.y, glm::vec3(0.0f, 1.0f, 0.0f));
}

void Level::applyLighting(Shader* shader)
{
    shader->use();
    glUniform1i(glGetUniformLocation(shader->program, "colorTexture"), 0);
    glUniform3fv(glGetUniformLocation(shader->program, "ambientLight"), 1, glm::value_ptr(ambientLight));
    glUniform3fv(glGetUniformLocation(shader->program, "lightPosition"), 1, glm::value_ptr(lightPosition));
}

void Level::drawFloor(Shader* shader)
{
    applyLighting(shader);
    heightmap->draw(shader);
}

void Level::paintWithCurrentColour()
{
    paintAtCrosshair(glm::vec4(heightmap->currentColour(), 1.0f));
}

void Level::paintAtCrosshair(glm::vec4 colour)
{
    if (!playerModel)
        return;
    glm::vec3 hit = camera->pickCentre();
    glm::vec3 p = playerModel->getPosition();
    // Strict comparisons: a pick that is not a number lies in no square and paints nothing.
    bool inReach
        = hit.x > p.x - paintReach && hit.x < p.x + paintReach && hit.z > p.z - paintReach && hit.z < p.z + paintReach;
    if (inReach)
        heightmap->paintAt(hit.x, hit.z, colour);
}
