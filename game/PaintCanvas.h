// The colour state of the paint floor and its rules, without GL: the paint picture the floor
// starts with, the original picture to reproduce, the pixels still to paint, what the player
// put on each pixel, the per-colour budgets and the current colour. Colour arrays hold 4 floats
// per pixel (red, green, blue, alpha, each byte / 255), top row first; an empty array stands for
// "not set up". Colours are compared by exact equality.
#pragma once

#include <glm/glm.hpp>

#include <array>
#include <map>
#include <optional>
#include <vector>

// Orders colours on (red, green, blue), red first.
struct ColourOrder {
    bool operator()(const glm::vec3& a, const glm::vec3& b) const;
};

using ColourCounts = std::map<glm::vec3, int, ColourOrder>;

// The 3 x 3 texels around a painted pixel, rows in texture order (first row = lowest texture
// row), and the texel (column, textureRow) at the block's centre.
struct PaintStroke {
    std::array<float, 36> block {};
    int column = 0;
    int textureRow = 0;
};

class PaintCanvas {
public:
    // RGBA floats, top row first, from 32-bit BGRA pixels stored bottom row first.
    static std::vector<float> toRgba(const unsigned char* bgra, unsigned int width, unsigned int height);

    // Drops the four colour arrays; the budgets and the current colour stay as they are.
    void release();
    // The picture the floor shows before any painting; `colours` may be empty when it did not decode.
    void setPaintPicture(unsigned int width, unsigned int height, std::vector<float> colours);
    // The picture to reproduce, of the paint picture's size: sets up targets, an empty painted
    // layer, the budgets and the current colour. Refused (false, nothing changed) on a size mismatch.
    bool setOriginalPicture(std::vector<float> colours);

    // Maps a floor point to its paint pixel (the floor spans floorWidth x floorDepth) and paints it.
    std::optional<PaintStroke> paintAt(float x, float z, glm::vec4 colour, float floorWidth, float floorDepth);
    // Puts the colour on pixel (px, pz), spending budget for the current colour; the stroke is
    // what the paint-layer texture needs to show around the pixel, none when nothing changed.
    std::optional<PaintStroke> paintPixel(int px, int pz, glm::vec4 colour);

    void cycleColour(int step);
    int currentColourCount() const;
    // -1 until every budget is spent or without targets; otherwise the matched fraction.
    // Matched painted pixels are used up (their alpha becomes 0).
    float score();

    unsigned int paintWidth = 0;
    unsigned int paintHeight = 0;
    std::vector<float> paintColours;
    std::vector<float> originalColours;
    std::vector<float> targetColours;
    std::vector<float> paintedColours;
    ColourCounts colourCounts;
    glm::vec3 currentColour { 0.0f };

private:
    size_t pixelCount() const;
    bool holds(const std::vector<float>& colours) const;
    bool spendBudget(glm::vec4 colour);
    PaintStroke strokeAround(int px, int pz, glm::vec4 colour) const;
    float exactPass(float& total);
    float nearPass();
};
