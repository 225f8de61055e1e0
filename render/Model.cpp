#include "render/Model.h"

#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/SharedTextures.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

Model::Model(const glm::mat4& modelMatrix, const std::vector<Mesh*>& meshes, Shader* shader)
    : modelMatrix(modelMatrix)
    , meshes(meshes)
    , shader(shader)
{
}

Model::~Model()
{
    std::vector<GLuint> textures;
    for (Mesh* mesh : meshes) {
        if (std::find(textures.begin(), textures.end(), mesh->texture) == textures.end())
            textures.push_back(mesh->texture);
        delete mesh;
    }
    for (GLuint texture : textures)
        SharedTextures::release(texture);
}

void Model::draw()
{
    draw(shader, nullptr);
}

void Model::draw(Shader* with, const bool* visible)
{
    glUniformMatrix4fv(glGetUniformLocation(with->program, "modelMatrix"), 1, GL_FALSE, glm::value_ptr(modelMatrix));
    for (size_t i = 0; i < meshes.size(); ++i) {
        if (!visible || visible[i])
            meshes[i]->draw(with);
    }
}

void Model::rotate(float quarterTurns, glm::vec3 axis)
{
    modelMatrix = glm::rotate(modelMatrix, glm::radians(90.0f * quarterTurns), axis);
}

void Model::rotateMesh(unsigned int index, float angle, glm::vec3 axis, glm::vec3 pivot)
{
    if (Mesh* target = mesh(index))
        target->rotateAboutPivot(angle, axis, pivot);
}

void Model::setPosition(glm::vec3 p)
{
    modelMatrix[3] = glm::vec4(p, modelMatrix[3].w);
    position = p;
}

void Model::placeAt(glm::vec3 p)
{
    modelMatrix = glm::translate(glm::mat4(1.0f), p);
    position = p;
}

void Model::translate(glm::vec3 d)
{
    modelMatrix = glm::translate(modelMatrix, d);
    position = glm::vec3(modelMatrix[3]);
}

void Model::setHeight(float y)
{
    setPosition(glm::vec3(position.x, y, position.z));
}

glm::vec3 Model::getPosition() const
{
    return position;
}

glm::vec3 Model::transformPoint(glm::vec3 d) const
{
    return glm::vec3(glm::translate(modelMatrix, d)[3]);
}

glm::vec3 Model::forward() const
{
    return glm::vec3(modelMatrix[2]);
}

Mesh* Model::mesh(unsigned int index) const
{
    return index < meshes.size() ? meshes[index] : nullptr;
}
