// One level: its room models, the shared paint floor, the scene light, the player's start
// place and the ambient light. Owns its models; registers them with the scene's draw list.
#pragma once

#include <glm/glm.hpp>

#include <vector>

class Camera;
class Heightmap;
class Model;
class ModelList;
class Shader;

class Level {
public:
    Level(Shader* modelShader, Shader* floorShader, Heightmap* heightmap, const std::vector<Model*>& models,
        Camera* camera, glm::vec3 startPlacement, glm::vec3 ambientLight, glm::vec3 lightPosition,
        glm::vec3 lightDirection);
    // Each model leaves the draw list and is deleted; the heightmap stays.
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    void registerModels(ModelList* drawList);
    void placePlayer(Model* model);
    void applyLighting(Shader* shader);
    void drawFloor(Shader* shader);
    void paintWithCurrentColour();
    void paintAtCrosshair(glm::vec4 colour);

    Heightmap* heightmap;
    glm::vec3 lightPosition;
    glm::vec3 lightDirection;
    std::vector<Model*> models;
    bool introPending = true;
    Shader* modelShader;
    Shader* floorShader;
    Camera* camera;
    ModelList* drawList = nullptr;
    Model* playerModel = nullptr;
    glm::vec3 startPlacement;
    glm::vec3 ambientLight;
};
