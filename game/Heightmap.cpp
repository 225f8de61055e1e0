#include "game/Heightmap.h"

#include "game/FloorMesh.h"
#include "render/Shader.h"
#include "render/SharedTextures.h"
#include "render/TextureLoader.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <iostream>
#include <new>
#include <optional>

Heightmap::Heightmap(TextureLoader* textureLoader, Shader* shader, float spacing)
    : spacing(spacing)
    , textureLoader(textureLoader)
    , shader(shader)
{
}

Heightmap::~Heightmap()
{
    delete floorMesh;
    SharedTextures::release(originalTexture);
}

void Heightmap::loadFloor(const std::string& heightPicturePath, GLuint floorTexture, Material material)
{
    releaseFloor();
    this->floorTexture = floorTexture;
    modelMatrix = glm::mat4(1.0f);

    unsigned int width = 0;
    unsigned int height = 0;
    const unsigned char* pixels = textureLoader->loadImage(heightPicturePath, width, height, floorPictureBudget);
    // A single row or column of grid points has no cells, so it makes no floor either.
    bool built = pixels && width >= 2 && height >= 2;
    if (built) {
        cellsX = width - 1;
        cellsZ = height - 1;
        // Set both ways, so that a floor without a texture does not move the next level's to unit 0.
        floorTextureUnit = floorTexture == 0 ? 0 : 1;
        // A failed allocation costs this floor, not the game.
        try {
            readHeights(pixels, width, height);
            buildMesh(width, material);
        } catch (const std::bad_alloc&) {
            releaseFloor();
            built = false;
        }
    }
    textureLoader->releaseImage();
    if (!built)
        std::cout << "Heightmap: could not load image: " << heightPicturePath << std::endl;
}

void Heightmap::readHeights(const unsigned char* pixels, unsigned int width, unsigned int height)
{
    heights.resize(static_cast<size_t>(width) * height);
    for (size_t r = 0; r < height; ++r) {
        const unsigned char* row = pixels + (height - 1 - r) * width * 4;
        for (size_t c = 0; c < width; ++c)
            heights[r * width + c] = row[c * 4 + 2] / 64.0f;
    }
}

void Heightmap::releaseFloor()
{
    delete floorMesh;
    floorMesh = nullptr;
    heights.clear();
    paint.release();
}

void Heightmap::buildMesh(unsigned int width, Material material)
{
    const size_t cells = static_cast<size_t>(cellsX) * cellsZ;
    std::vector<glm::vec3> positions(cells * 4);
    std::vector<glm::vec3> normals(cells * 4);
    std::vector<glm::vec2> uvs(cells * 4);
    std::vector<unsigned int> indices(cells * 6);
    const float s = spacing;
    const float du = 1.0f / cellsX;
    const float dv = 1.0f / cellsZ;
    auto h = [&](size_t c, size_t r) { return heights[r * width + c]; };

    for (size_t r = 0; r < cellsZ; ++r) {
        for (size_t c = 0; c < cellsX; ++c) {
            const size_t i = r * cellsX + c;
            glm::vec3* p = &positions[4 * i];
            p[0] = glm::vec3(c * s, h(c, r), r * s);
            p[1] = glm::vec3((c + 1) * s, h(c + 1, r), r * s);
            p[2] = glm::vec3(c * s, h(c, r + 1), (r + 1) * s);
            p[3] = glm::vec3((c + 1) * s, h(c + 1, r + 1), (r + 1) * s);
            uvs[4 * i] = glm::vec2(c * du, 1.0f - r * dv);
            uvs[4 * i + 1] = glm::vec2((c + 1) * du, 1.0f - r * dv);
            uvs[4 * i + 2] = glm::vec2(c * du, 1.0f - (r + 1) * dv);
            uvs[4 * i + 3] = glm::vec2((c + 1) * du, 1.0f - (r + 1) * dv);

            const unsigned int v = static_cast<unsigned int>(4 * i);
            const unsigned int cellIndices[6] = { v + 2, v + 1, v, v + 1, v + 2, v + 3 };
            std::copy(cellIndices, cellIndices + 6, &indices[6 * i]);

            // Each cell has vertices of its own, so each triangle pair carries its own normals.
            glm::vec3 a = glm::normalize(glm::cross(p[2] - p[0], p[1] - p[0]));
            glm::vec3 b = glm::normalize(glm::cross(p[1] - p[3], p[2] - p[3]));
            normals[4 * i] = a;
            normals[4 * i + 1] = b;
            normals[4 * i + 2] = a;
            normals[4 * i + 3] = b;
        }
    }
    floorMesh = new FloorMesh(shader, static_cast<unsigned int>(cells * 4), glm::value_ptr(positions[0]),
        glm::value_ptr(normals[0]), glm::value_ptr(uvs[0]), static_cast<unsigned int>(cells * 6), indices.data(),
        floorTexture, floorTextureUnit, material);
}

void Heightmap::loadPictures(
    const std::string& paintPath, int paintUnit, const std::string& originalPath, int originalUnit)
{
    if (!floorMesh)
        return;
    unsigned int width = 0;
    unsigned int height = 0;
    GLuint paintLayer = textureLoader->loadTexture(paintPath, paintUnit, width, height, floorPictureBudget);
    // A second call on the same floor replaces its paint layer rather than leaking it.
    if (floorMesh->paintLayerTexture != paintLayer)
        SharedTextures::release(floorMesh->paintLayerTexture);
    floorMesh->setPaintLayer(paintLayer, paintUnit);
    unsigned int decodedWidth = 0;
    unsigned int decodedHeight = 0;
    std::vector<float> paintColours = decodeRgba(paintPath, decodedWidth, decodedHeight);
    if (decodedWidth != width || decodedHeight != height)
        paintColours.clear();
    paint.setPaintPicture(width, height, std::move(paintColours));

    SharedTextures::release(originalTexture);
    unsigned int originalWidth = 0;
    unsigned int originalHeight = 0;
    originalTexture
        = textureLoader->loadTexture(originalPath, originalUnit, originalWidth, originalHeight, floorPictureBudget);
    if (originalWidth != width || originalHeight != height) {
        std::cout << "Heightmap: Original Picture size does not match paint Picture" << std::endl;
        return;
    }
    std::vector<float> originalColours = decodeRgba(originalPath, originalWidth, originalHeight);
    if (originalColours.empty()) {
        std::cout << "Heightmap: could not load image: " << originalPath << std::endl;
        return;
    }
    this->originalPath = originalPath;
    if (!paint.setOriginalPicture(std::move(originalColours)))
        std::cout << "Heightmap: Original Picture size does not match paint Picture" << std::endl;
}

std::vector<float> Heightmap::decodeRgba(const std::string& path, unsigned int& width, unsigned int& height)
{
    const unsigned char* pixels = textureLoader->loadImage(path, width, height, floorPictureBudget);
    if (!pixels)
        return {};
    std::vector<float> rgba = PaintCanvas::toRgba(pixels, width, height);
    textureLoader->releaseImage();
    return rgba;
}

float Heightmap::heightAt(float x, float z) const
{
    if (!floorMesh)
        return -1.0f;
    // The grid ends at its far edge, which still has heights; NaN is refused here too, before
    // the int conversion.
    if (!(x >= 0.0f && z >= 0.0f) || x > cellsX * spacing || z > cellsZ * spacing)
        return -1.0f;
    unsigned int c = std::min(static_cast<unsigned int>(x / spacing), cellsX);
    unsigned int r = std::min(static_cast<unsigned int>(z / spacing), cellsZ);
    return heights[static_cast<size_t>(r) * (cellsX + 1) + c];
}

void Heightmap::draw(Shader* shader)
{
    if (!floorMesh)
        return;
    glUniformMatrix4fv(glGetUniformLocation(shader->program, "modelMatrix"), 1, GL_FALSE, glm::value_ptr(modelMatrix));
    floorMesh->draw(shader);
}

void Heightmap::uploadPaintBlock(const float* block, int column, int textureRow)
{
    if (floorMesh)
        floorMesh->uploadPaintBlock(block, column, textureRow);
}

void Heightmap::paintAt(float x, float z, glm::vec4 colour)
{
    if (!floorMesh)
        return;
    std::optional<PaintStroke> stroke = paint.paintAt(x, z, colour, cellsX * spacing, cellsZ * spacing);
    if (stroke)
        uploadPaintBlock(stroke->block.data(), stroke->column, stroke->textureRow);
}

void Heightmap::cycleColour(int step)
{
    paint.cycleColour(step);
}

int Heightmap::currentColourCount() const
{
    return paint.currentColourCount();
}

glm::vec3 Heightmap::currentColour() const
{
    return paint.currentColour;
}

float Heightmap::score()
{
    if (!floorMesh)
        return -1.0f;
    return paint.score();
}

unsigned int Heightmap::paintWidth() const
{
    return paint.paintWidth;
}

unsigned int Heightmap::paintHeight() const
{
    return paint.paintHeight;
}

const ColourCounts& Heightmap::colourCounts() const
{
    return paint.colourCounts;
}

const PaintCanvas& Heightmap::canvas() const
{
    return paint;
}
