#include "IconPainter.h"

#include "Image.h"

#include <cmath>
#include <filesystem>
#include <utility>
#include <vector>

IconPainter::IconPainter(const std::string& folder)
    : folder(folder)
{
}

bool IconPainter::writeAll() const
{
    for (int size : sizes) {
        std::string dir = folder + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::filesystem::create_directories(dir);
        if (!paint(size).savePng(dir + "/tintbox.png"))
            return false;
    }
    return true;
}

Image IconPainter::paint(int size)
{
    // Drawn on a 256-unit square scaled to the size; the shapes stay bold enough for 16 pixels.
    const float s = size / 256.0f;
    Image img(size, size);
    img.fillRoundedRect(8 * s, 8 * s, 248 * s, 248 * s, 40 * s, { 0.16f, 0.17f, 0.22f, 1 });
    img.fillRoundedRect(20 * s, 20 * s, 236 * s, 236 * s, 30 * s, { 0.70f, 0.71f, 0.74f, 1 });
    if (size >= 48)
        for (float t = 74; t < 236; t += 54) {
            img.fillRect(20 * s, (t - 1.5f) * s, 236 * s, (t + 1.5f) * s, { 0.55f, 0.56f, 0.6f, 1 });
            img.fillRect((t - 1.5f) * s, 20 * s, (t + 1.5f) * s, 236 * s, { 0.55f, 0.56f, 0.6f, 1 });
        }

    // Three wavy strokes of paint, each a chain of discs, ending where the vehicle is.
    const Colour paints[] = { { 0.93f, 0.22f, 0.27f, 1 }, { 0.99f, 0.80f, 0.16f, 1 }, { 0.22f, 0.58f, 0.95f, 1 } };
    for (int i = 0; i < 3; ++i) {
        float y0 = 82 + i * 46.0f;
        for (float x = 38; x <= 150 + i * 10.0f; x += 2)
            img.fillEllipse(x * s, (y0 + 10 * std::sin(x / 24.0f + i)) * s, 17 * s, 17 * s, paints[i]);
    }

    // The vehicle seen from above, driving to the lower right: two tracks, hull and nozzle.
    const float cx = 172, cy = 170, a = 0.45f, ca = std::cos(a), sa = std::sin(a);
    auto box = [&](float x0, float y0, float x1, float y1, Colour c) {
        std::vector<float> xy;
        for (auto [u, v] : { std::pair { x0, y0 }, { x1, y0 }, { x1, y1 }, { x0, y1 } }) {
            xy.push_back((cx + u * ca - v * sa) * s);
            xy.push_back((cy + u * sa + v * ca) * s);
        }
        img.fillPolygon(xy, c);
    };
    box(-52, -48, 52, 48, { 0.08f, 0.08f, 0.1f, 0.35f });
    box(-46, -42, 46, -22, { 0.10f, 0.10f, 0.12f, 1 });
    box(-46, 22, 46, 42, { 0.10f, 0.10f, 0.12f, 1 });
    box(-38, -26, 34, 26, { 0.10f, 0.62f, 0.66f, 1 });
    box(-20, -16, 12, 16, { 0.96f, 0.78f, 0.20f, 1 });
    box(34, -6, 58, 6, { 0.75f, 0.76f, 0.8f, 1 });
    return img;
}
