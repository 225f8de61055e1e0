// An RGBA picture in memory, top row first, with the few drawing operations the generator
// needs; written to PNG or JPEG through FreeImage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    float r, g, b, a;
};

class Image {
public:
    Image(int width, int height, Colour fill = { 0, 0, 0, 0 });

    int width() const
    {
        return w;
    }
    int height() const
    {
        return h;
    }
    Colour get(int x, int y) const;
    void set(int x, int y, Colour c);
    // Puts c over the pixel with coverage k (0..1), the usual "over" operation.
    void blend(int x, int y, Colour c, float k = 1.0f);
    void fillRect(float x0, float y0, float x1, float y1, Colour c);
    // Antialiased disc; an ellipse when rx and ry differ.
    void fillEllipse(float cx, float cy, float rx, float ry, Colour c);
    void fillRoundedRect(float x0, float y0, float x1, float y1, float radius, Colour c);
    // Convex or concave polygon, even-odd rule, 4 x 4 supersampled.
    void fillPolygon(const std::vector<float>& xy, Colour c);
    void drawImage(const Image& src, int x, int y);
    Image rotated180() const;

    // 32 bits per pixel unless opaque is set (24 bits); JPEG is always 24 bits.
    bool savePng(const std::string& path, bool opaque = false) const;
    bool saveJpeg(const std::string& path, int quality) const;

private:
    bool save(const std::string& path, bool jpeg, bool opaque, int quality) const;

    int w, h;
    std::vector<float> px;
};

// Deterministic noise for textures: a fixed-seed linear congruential generator.
class Noise {
public:
    explicit Noise(uint32_t seed)
        : state(seed)
    {
    }
    // Uniform in [0, 1).
    float next();

private:
    uint32_t state;
};
