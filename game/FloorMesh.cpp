#include "game/FloorMesh.h"

#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/SharedTextures.h"

FloorMesh::FloorMesh(Shader* shader, unsigned int vertexCount, const float* positions, const float* normals,
    const float* uvs, unsigned int indexCount, const unsigned int* indices, GLuint texture, int textureUnit,
    Material material)
    : shader(shader)
    , material(material)
{
    mesh = new Mesh(shader, normals, uvs, positions, indices, vertexCount, indexCount, texture, textureUnit,
        GL_TRIANGLES, material);
}

FloorMesh::~FloorMesh()
{
    delete mesh;
    SharedTextures::release(paintLayerTexture);
}

void FloorMesh::setPaintLayer(GLuint texture, int unit)
{
    paintLayerTexture = texture;
    paintLayerUnit = unit;
}

void FloorMesh::draw(Shader* shader)
{
    if (paintLayerTexture != 0) {
        glActiveTexture(GL_TEXTURE0 + paintLayerUnit);
        glBindTexture(GL_TEXTURE_2D, paintLayerTexture);
        glUniform1i(glGetUniformLocation(shader->program, "paintLayer"), paintLayerUnit);
    }
    mesh->draw(shader);
}

void FloorMesh::uploadPaintBlock(const float* block, int column, int textureRow)
{
    unsigned char bytes[36];
    for (int k = 0; k < 36; ++k)
        bytes[k] = static_cast<unsigned char>(static_cast<int>(block[k] * 255.0));
    glActiveTexture(GL_TEXTURE0 + paintLayerUnit);
    glBindTexture(GL_TEXTURE_2D, paintLayerTexture);
    // Three texels of four bytes make 12-byte rows, so the default unpack alignment of 4 holds.
    glTexSubImage2D(GL_TEXTURE_2D, 0, column - 1, textureRow - 1, 3, 3, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
}
