// The one GPU geometry class: a vertex array with position, normal and uv buffers and an
// index buffer, the texture and unit it draws with, its material, a per-mesh transform and
// the axis-aligned box of its vertices. Owns its buffers and vertex array, not the texture.
#pragma once

#include "render/Material.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <vector>

class Shader;

class Mesh {
public:
    // The caller keeps the arrays; the mesh copies the uvs and the GPU holds the rest.
    // vertexCount must be at least 1.
    Mesh(Shader* shader, const float* normals, const float* uvs, const float* positions, const unsigned int* indices,
        unsigned int vertexCount, unsigned int indexCount, GLuint texture, int textureUnit, GLenum drawMode,
        Material material);
    virtual ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Neither makes the program current: the caller has called use() on it.
    void draw();
    void draw(Shader* shader);
    // Re-uploads vertexCount x 2 floats into the uv buffer; the owner keeps `uvs` in step.
    void updateUVs(const float* data);
    void rotateAboutPivot(float angle, glm::vec3 axis, glm::vec3 pivot);
    bool overlaps(const Mesh& other, glm::vec3 otherOffset, glm::vec3 ownOffset) const;

    unsigned int vertexCount = 0;
    unsigned int indexCount = 0;
    std::vector<float> uvs;
    glm::mat4 meshMatrix{1.0f};
    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    std::array<glm::vec3, 8> corners{};
    GLuint vertexArray = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint indexBuffer = 0;
    Shader* shader = nullptr;
    GLenum drawMode = GL_TRIANGLES;
    Material material;
    GLuint texture = 0;
    int textureUnit = 0;

private:
    void computeBounds(const float* positions);
    void createBuffers(const float* normals, const float* positions, const unsigned int* indices);
    void createVertexArray();
};
