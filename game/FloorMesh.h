// The drawable floor of one level: the grid mesh (owned) and the paint-layer texture laid over
// it (owned unless it is one of the shared textures). Not copyable.
#pragma once

#include "render/Material.h"

#include <GL/glew.h>

class Mesh;
class Shader;

class FloorMesh {
public:
    // The arrays are copied by the mesh; the caller frees them afterwards.
    FloorMesh(Shader* shader, unsigned int vertexCount, const float* positions, const float* normals, const float* uvs,
        unsigned int indexCount, const unsigned int* indices, GLuint texture, int textureUnit, Material material);
    ~FloorMesh();
    FloorMesh(const FloorMesh&) = delete;
    FloorMesh& operator=(const FloorMesh&) = delete;

    void setPaintLayer(GLuint texture, int unit);
    // Binds the paint layer and draws the mesh; the caller has made `shader` current.
    void draw(Shader* shader);
    // Replaces the 3 x 3 texels centred on (column, textureRow) of mip level 0 with `block`:
    // 36 floats, RGBA rows in texture order (first row = lowest texture row).
    void uploadPaintBlock(const float* block, int column, int textureRow);

    Mesh* mesh = nullptr;
    Shader* shader = nullptr;
    Material material;
    GLuint paintLayerTexture = 0;
    int paintLayerUnit = 0;
};
