// What one model file becomes: a flat list of meshes that share one model matrix and one
// shader, with the transforms the game places, moves and turns things with. Owns its meshes
// and their textures (all but the two default textures).
#pragma once

#include <glm/glm.hpp>

#include <vector>

class Mesh;
class Shader;

class Model {
public:
    Model(const glm::mat4& modelMatrix, const std::vector<Mesh*>& meshes, Shader* shader);
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Neither makes the program current.
    void draw();
    // visible: null, or one flag per mesh.
    void draw(Shader* shader, const bool* visible);
    void rotate(float quarterTurns, glm::vec3 axis);
    void rotateMesh(unsigned int index, float angle, glm::vec3 axis, glm::vec3 pivot);
    void setPosition(glm::vec3 p);
    void placeAt(glm::vec3 p);
    void translate(glm::vec3 d);
    void setHeight(float y);
    glm::vec3 getPosition() const;
    glm::vec3 transformPoint(glm::vec3 d) const;
    glm::vec3 forward() const;
    // The mesh with that index, or null when the model has fewer meshes.
    Mesh* mesh(unsigned int index) const;

    glm::mat4 modelMatrix;
    std::vector<Mesh*> meshes;
    Shader* shader;
    glm::vec3 position{0.0f};
};
