#include "game/PaintCanvas.h"

#include <cstdint>

namespace {
bool sameColour(const float* a, const float* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

bool sameColour(const float* a, glm::vec4 b)
{
    return a[0] == b.r && a[1] == b.g && a[2] == b.b && a[3] == b.a;
}

void setColour(float* to, glm::vec4 colour)
{
    to[0] = colour.r;
    to[1] = colour.g;
    to[2] = colour.b;
    to[3] = colour.a;
}

void copyColour(float* to, const float* from)
{
    for (int k = 0; k < 4; ++k)
        to[k] = from[k];
}
}

bool ColourOrder::operator()(const glm::vec3& a, const glm::vec3& b) const
{
    if (a.r != b.r)
        return a.r < b.r;
    if (a.g != b.g)
        return a.g < b.g;
    return a.b < b.b;
}

std::vector<float> PaintCanvas::toRgba(const unsigned char* bgra, unsigned int width, unsigned int height)
{
    std::vector<float> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t r = 0; r < height; ++r) {
        const unsigned char* source = bgra + (height - 1 - r) * width * 4;
        float* row = rgba.data() + r * width * 4;
        for (size_t c = 0; c < width; ++c) {
            row[c * 4 + 0] = source[c * 4 + 2] / 255.0;
            row[c * 4 + 1] = source[c * 4 + 1] / 255.0;
            row[c * 4 + 2] = source[c * 4 + 0] / 255.0;
            row[c * 4 + 3] = source[c * 4 + 3] / 255.0;
        }
    }
    return rgba;
}

void PaintCanvas::release()
{
    paintColours.clear();
    originalColours.clear();
    targetColours.clear();
    paintedColours.clear();
}

void PaintCanvas::setPaintPicture(unsigned int width, unsigned int height, std::vector<float> colours)
{
    paintWidth = width;
    paintHeight = height;
    paintColours = std::move(colours);
}

bool PaintCanvas::setOriginalPicture(std::vector<float> colours)
{
    if (!holds(colours) || !holds(paintColours))
        return false;
    originalColours = std::move(colours);
    paintedColours.assign(pixelCount() * 4, 0.0f);
    targetColours.assign(pixelCount() * 4, 0.0f);

    colourCounts.clear();
    for (size_t p = 0; p < pixelCount(); ++p) {
        const float* original = &originalColours[p * 4];
        if (original[3] == 1.0f && !sameColour(original, &paintColours[p * 4])) {
            copyColour(&targetColours[p * 4], original);
            ++colourCounts[glm::vec3(original[0], original[1], original[2])];
        }
    }
    currentColour = colourCounts.empty() ? glm::vec3(0.0f) : colourCounts.begin()->first;
    return true;
}

std::optional<PaintStroke> PaintCanvas::paintAt(float x, float z, glm::vec4 colour, float floorWidth, float floorDepth)
{
    float fx = paintWidth / floorWidth * x;
    float fz = paintHeight / floorDepth * z;
    // Points off the picture (NaN, infinite or far-plane picks among them) are refused before
    // the int conversion; inside it, truncation gives the pixel.
    if (!(fx >= 0.0f && fx < static_cast<float>(paintWidth)) || !(fz >= 0.0f && fz < static_cast<float>(paintHeight)))
        return std::nullopt;
    return paintPixel(static_cast<int>(fx), static_cast<int>(fz), colour);
}

std::optional<PaintStroke> PaintCanvas::paintPixel(int px, int pz, glm::vec4 colour)
{
    // The outermost ring cannot be painted; a picture narrower or lower than 3 has no paintable pixel.
    if (px < 1 || pz < 1 || px > static_cast<int64_t>(paintWidth) - 2 || pz > static_cast<int64_t>(paintHeight) - 2)
        return std::nullopt;
    if (!holds(paintedColours) || !holds(paintColours))
        return std::nullopt;
    float* painted = &paintedColours[(static_cast<size_t>(pz) * paintWidth + px) * 4];
    if (sameColour(painted, colour))
        return std::nullopt;
    if (!spendBudget(colour))
        return std::nullopt;
    setColour(painted, colour);
    return strokeAround(px, pz, colour);
}

bool PaintCanvas::spendBudget(glm::vec4 colour)
{
    glm::vec3 rgb(colour);
    if (rgb != currentColour)
        return true;
    auto entry = colourCounts.find(rgb);
    if (entry == colourCounts.end() || entry->second <= 0)
        return false;
    --entry->second;
    return true;
}

PaintStroke PaintCanvas::strokeAround(int px, int pz, glm::vec4 colour) const
{
    PaintStroke stroke;
    for (int place = 0; place < 9; ++place)
        setColour(&stroke.block[place * 4], glm::vec4(glm::vec3(colour), 0.0f));
    setColour(&stroke.block[4 * 4], colour);

    // Block row 0 is the picture row below the pixel: the texture stores rows bottom first.
    const int64_t w = paintWidth;
    for (int dz = -1; dz <= 1; ++dz) {
        for (int dx = -1; dx <= 1; ++dx) {
            int64_t q = (pz + dz) * w + px + dx;
            float* place = &stroke.block[((1 - dz) * 3 + (1 + dx)) * 4];
            if (paintColours[q * 4 + 3] != 0.0f)
                copyColour(place, &paintColours[q * 4]);
            if (paintedColours[q * 4 + 3] != 0.0f)
                copyColour(place, &paintedColours[q * 4]);
        }
    }
    stroke.column = px;
    stroke.textureRow = static_cast<int>(paintHeight) - 1 - pz;
    return stroke;
}

void PaintCanvas::cycleColour(int step)
{
    if (colourCounts.size() < 2 || step == 0)
        return;
    auto entry = colourCounts.find(currentColour);
    if (entry == colourCounts.end())
        return;
    if (step > 0) {
        ++entry;
        if (entry == colourCounts.end())
            entry = colourCounts.begin();
    } else {
        if (entry == colourCounts.begin())
            entry = colourCounts.end();
        --entry;
    }
    currentColour = entry->first;
}

int PaintCanvas::currentColourCount() const
{
    auto entry = colourCounts.find(currentColour);
    return entry == colourCounts.end() ? 0 : entry->second;
}

float PaintCanvas::score()
{
    for (const auto& entry : colourCounts) {
        if (entry.second != 0)
            return -1.0f;
    }
    if (!holds(targetColours) || !holds(paintedColours))
        return -1.0f;
    float total = 0.0f;
    float exact = exactPass(total);
    float near = nearPass();
    if (total == 0.0f)
        return -1.0f;
    return (near / 2.0f + exact) / total;
}

float PaintCanvas::exactPass(float& total)
{
    float exact = 0.0f;
    for (size_t p = 0; p < pixelCount(); ++p) {
        const float* target = &targetColours[p * 4];
        if (target[3] != 1.0f)
            continue;
        total += 1.0f;
        if (sameColour(&paintedColours[p * 4], target)) {
            exact += 1.0f;
            paintedColours[p * 4 + 3] = 0.0f;
        }
    }
    return exact;
}

float PaintCanvas::nearPass()
{
    // Neighbours are taken by linear index, so at a row's ends they reach into the rows beside
    // it. Signed bounds keep pictures lower than 3 rows or narrower than 2 columns out of the loop.
    const int64_t w = paintWidth;
    const int64_t first = w + 1;
    const int64_t end = (static_cast<int64_t>(paintHeight) - 1) * w - 1;
    const int64_t offsets[8] = { -1, 1, -w - 1, -w, -w + 1, w - 1, w, w + 1 };
    float near = 0.0f;
    for (int64_t b = first; b < end; ++b) {
        const float* target = &targetColours[b * 4];
        if (target[3] != 1.0f)
            continue;
        for (int64_t offset : offsets) {
            float* painted = &paintedColours[(b + offset) * 4];
            if (sameColour(painted, target)) {
                near += 1.0f;
                painted[3] = 0.0f;
                break;
            }
        }
    }
    return near;
}

size_t PaintCanvas::pixelCount() const
{
    return static_cast<size_t>(paintWidth) * paintHeight;
}

bool PaintCanvas::holds(const std::vector<float>& colours) const
{
    return !colours.empty() && colours.size() == pixelCount() * 4;
}
