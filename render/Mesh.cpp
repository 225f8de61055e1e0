#include "render/Mesh.h"

#include "render/Shader.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

namespace {
// Every program of the game gives the attributes these locations; used when a mesh has no program.
const GLint fixedLocations[3] = { 0, 1, 2 };

GLint attributeLocation(const Shader* shader, const char* name, int slot)
{
    if (!shader)
        return fixedLocations[slot];
    return glGetAttribLocation(shader->program, name);
}

void describeAttribute(GLuint buffer, GLint location, GLint components)
{
    // A program that lacks the attribute reports -1; enabling it would be an error.
    if (location < 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

bool overlapsOnAxis(float aMin, float aMax, float bMin, float bMax)
{
    return (aMin > bMin && bMax > aMin) || (aMax > bMin && bMax > aMax) || (bMin > aMin && aMax > bMax);
}
}

Mesh::Mesh(Shader* shader, const float* normals, const float* uvs, const float* positions, const unsigned int* indices,
    unsigned int vertexCount, unsigned int indexCount, GLuint texture, int textureUnit, GLenum drawMode,
    Material material)
    : shader(shader)
    , drawMode(drawMode)
    , material(material)
    , texture(texture)
    , textureUnit(textureUnit)
{
    // Without vertices there is no box to take and nothing to upload: the mesh stays empty
    // and draws nothing.
    if (vertexCount == 0 || !positions || !normals || !uvs || (indexCount > 0 && !indices)) {
        std::cout << "Mesh: a mesh needs at least one vertex" << std::endl;
        return;
    }
    this->vertexCount = vertexCount;
    this->indexCount = indexCount;
    meshMatrix = glm::mat4(1.0f);
    computeBounds(positions);
    this->uvs.assign(uvs, uvs + static_cast<size_t>(vertexCount) * 2);
    createBuffers(normals, positions, indices);
    createVertexArray();
}

Mesh::~Mesh()
{
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}

void Mesh::computeBounds(const float* positions)
{
    boundsMin = boundsMax = glm::vec3(positions[0], positions[1], positions[2]);
    for (unsigned int v = 1; v < vertexCount; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            float value = positions[v * 3 + axis];
            if (value < boundsMin[axis])
                boundsMin[axis] = value;
            else if (value > boundsMax[axis])
                boundsMax[axis] = value;
        }
    }
    for (int c = 0; c < 8; ++c) {
        corners[c] = glm::vec3((c & 4) ? boundsMax.x : boundsMin.x, (c & 2) ? boundsMax.y : boundsMin.y,
            (c & 1) ? boundsMax.z : boundsMin.z);
    }
}

void Mesh::createBuffers(const float* normals, const float* positions, const unsigned int* indices)
{
    GLsizeiptr count = static_cast<GLsizeiptr>(vertexCount);
    glGenBuffers(1, &positionBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, count * 12, positions, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenBuffers(1, &normalBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    glBufferData(GL_ARRAY_BUFFER, count * 12, normals, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenBuffers(1, &uvBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, count * 8, uvs.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount) * 4, indices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void Mesh::createVertexArray()
{
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    describeAttribute(positionBuffer, attributeLocation(shader, "position", 0), 3);
    describeAttribute(normalBuffer, attributeLocation(shader, "normal", 1), 3);
    describeAttribute(uvBuffer, attributeLocation(shader, "uv", 2), 2);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    // The vertex array goes first: unbinding the element buffer while it is bound would drop it.
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Mesh::draw()
{
    draw(shader);
}

void Mesh::draw(Shader* with)
{
    if (vertexArray == 0 || !with)
        return;
    GLuint program = with->program;
    glUniformMatrix4fv(glGetUniformLocation(program, "meshMatrix"), 1, GL_FALSE, glm::value_ptr(meshMatrix));
    glUniform3fv(glGetUniformLocation(program, "k_ambient"), 1, glm::value_ptr(material.ambient));
    glUniform3fv(glGetUniformLocation(program, "k_diffuse"), 1, glm::value_ptr(material.diffuse));
    glUniform3fv(glGetUniformLocation(program, "k_specular"), 1, glm::value_ptr(material.specular));
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(textureUnit));
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(glGetUniformLocation(program, "colorTexture"), textureUnit);

    glBindVertexArray(vertexArray);
    glDrawElements(drawMode, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void Mesh::updateUVs(const float* data)
{
    if (vertexArray == 0 || !data)
        return;
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * 8, data, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::rotateAboutPivot(float angle, glm::vec3 axis, glm::vec3 pivot)
{
    glm::mat4 matrix = glm::translate(glm::mat4(1.0f), pivot);
    matrix = glm::rotate(matrix, glm::radians(angle), axis);
    meshMatrix = glm::translate(matrix, -pivot);
}

bool Mesh::overlaps(const Mesh& other, glm::vec3 otherOffset, glm::vec3 ownOffset) const
{
    glm::vec3 aMin = boundsMin + ownOffset;
    glm::vec3 aMax = boundsMax + ownOffset;
    glm::vec3 bMin = other.boundsMin + otherOffset;
    glm::vec3 bMax = other.boundsMax + otherOffset;
    for (int axis : { 0, 2, 1 }) {
        if (!overlapsOnAxis(aMin[axis], aMax[axis], bMin[axis], bMax[axis]))
            return false;
    }
    return true;
}
