// The paintable floor of a level, one for the whole run: the grid mesh built from a height
// picture, the heights for standing on it, the paint layer laid over it and, in a PaintCanvas,
// the colour state with the painting and scoring rules. Owns the FloorMesh and the texture of
// the original picture. The colour state is read through accessors: currentColour() is both
// the current colour and the operation of that name.
#pragma once

#include "game/PaintCanvas.h"
#include "render/Material.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstddef>
#include <string>
#include <vector>

class FloorMesh;
class Shader;
class TextureLoader;

class Heightmap {
public:
    // Height, paint and original pictures declaring more pixels are refused like unreadable ones:
    // a floor cell costs about 330 bytes (mesh and its upload), a paint pixel 64 bytes of colour
    // arrays. Measured: a 1024 x 1024 height picture takes the game to 470 MB resident, a
    // 2048 x 2048 one to 1.5 GB.
    static constexpr size_t floorPictureBudget = 1024 * 1024;

    Heightmap(TextureLoader* textureLoader, Shader* shader, float spacing);
    ~Heightmap();
    Heightmap(const Heightmap&) = delete;
    Heightmap& operator=(const Heightmap&) = delete;

    // Replaces the floor; without a readable height picture of at least 2 x 2 there is none.
    void loadFloor(const std::string& heightPicturePath, GLuint floorTexture, Material material);
    // The paint layer, the original picture and the budgets; does nothing without a floor.
    void loadPictures(const std::string& paintPath, int paintUnit, const std::string& originalPath, int originalUnit);
    // Height of the grid point at or before (x, z); -1 without a floor, at negative coordinates
    // and beyond the far edges (cellsX * spacing, cellsZ * spacing).
    float heightAt(float x, float z) const;
    // Sets "modelMatrix" and draws the floor with its paint layer; the caller made `shader` current.
    void draw(Shader* shader);
    void uploadPaintBlock(const float* block, int column, int textureRow);

    // Paints (or, with alpha 0, wipes) the paint pixel under the floor point (x, z).
    void paintAt(float x, float z, glm::vec4 colour);
    void cycleColour(int step);
    int currentColourCount() const;
    glm::vec3 currentColour() const;
    float score();

    unsigned int paintWidth() const;
    unsigned int paintHeight() const;
    const ColourCounts& colourCounts() const;
    const PaintCanvas& canvas() const;

    FloorMesh* floorMesh = nullptr;
    std::string originalPath;
    std::vector<float> heights;
    float spacing;
    unsigned int cellsX = 0;
    unsigned int cellsZ = 0;
    GLuint floorTexture = 1;
    int floorTextureUnit = 1;
    GLuint originalTexture = 0;
    TextureLoader* textureLoader;
    glm::mat4 modelMatrix { 1.0f };
    Shader* shader;

private:
    void releaseFloor();
    void readHeights(const unsigned char* pixels, unsigned int width, unsigned int height);
    void buildMesh(unsigned int width, Material material);
    std::vector<float> decodeRgba(const std::string& path, unsigned int& width, unsigned int& height);

    PaintCanvas paint;
};
