#include "LevelPainter.h"

#include <cmath>

namespace {
const float pi = 3.14159265358979f;

bool insideEllipse(float a, float b, float ca, float cb, float ra, float rb, float angle)
{
    float da = a - ca, db = b - cb;
    float c = std::cos(angle), s = std::sin(angle);
    float u = da * c + db * s, v = -da * s + db * c;
    return (u * u) / (ra * ra) + (v * v) / (rb * rb) <= 1.0f;
}
}

LevelPainter::LevelPainter(const std::string& folder)
    : folder(folder)
{
}

bool LevelPainter::writeHeight(const std::string& name, int width, int height, int red) const
{
    Image img(width, height, { red / 255.0f, 0, 0, 1 });
    return img.savePng(folder + "/" + name, true);
}

bool LevelPainter::writePair(const std::string& paintName, const std::string& originalName, float floorW, float floorD,
    float floorY, const std::vector<Footprint>& room, const Drawing& drawing, const std::vector<Colour>& colours,
    float startX, float startZ, float facing) const
{
    const int w = static_cast<int>(std::lround(floorW * pixelsPerUnit));
    const int h = static_cast<int>(std::lround(floorD * pixelsPerUnit));
    std::vector<int> index(static_cast<size_t>(w) * h, -1);
    // The outermost ring of the paint picture cannot be painted: the drawing stays off it.
    for (int r = 1; r < h - 1; ++r)
        for (int c = 1; c < w - 1; ++c)
            index[r * w + c] = drawing((c + 0.5f) / pixelsPerUnit, (r + 0.5f) / pixelsPerUnit);

    // The target picture: a translucent map of the room (never a target, its alpha is below
    // one) under the drawing in opaque colours.
    Image original(w, h, { 0.07f, 0.08f, 0.12f, 1 });
    for (const Footprint& f : room) {
        if (!(f.hi.y > floorY && f.lo.y < floorY + 0.2f))
            continue;
        original.fillRect(f.lo.x * pixelsPerUnit, f.lo.z * pixelsPerUnit, f.hi.x * pixelsPerUnit,
            f.hi.z * pixelsPerUnit, { 0.42f, 0.45f, 0.52f, 1 });
    }
    float sx = startX * pixelsPerUnit, sz = startZ * pixelsPerUnit, c = std::cos(facing), s = std::sin(facing);
    // The start place as an arrow pointing the way the vehicle looks; facing is the angle from +z
    // towards +x.
    auto at = [&](float along, float across) {
        return std::vector<float> { sx + (s * along + c * across) * 4, sz + (c * along - s * across) * 4 };
    };
    std::vector<float> arrow;
    for (auto p : { at(1.2f, 0), at(-0.8f, 0.8f), at(-0.4f, 0), at(-0.8f, -0.8f) })
        arrow.insert(arrow.end(), p.begin(), p.end());
    original.fillPolygon(arrow, { 0.95f, 0.95f, 0.95f, 1 });
    // The map is drawn opaque and then made translucent, so that overlapping parts never add up
    // to an opaque pixel.
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            Colour m = original.get(c, r);
            original.set(c, r, { m.r, m.g, m.b, 200.0f / 255.0f });
        }

    // The paint picture: transparent, with a faint, lighter outline of every colour region.
    Image paint(w, h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            int k = index[r * w + c];
            if (k < 0)
                continue;
            Colour target = colours[k];
            original.set(c, r, target);
            bool edge = index[(r - 1) * w + c] != k || index[(r + 1) * w + c] != k || index[r * w + c - 1] != k
                || index[r * w + c + 1] != k;
            if (edge)
                paint.set(c, r,
                    { target.r * 0.65f + 0.35f, target.g * 0.65f + 0.35f, target.b * 0.65f + 0.35f, 110.0f / 255.0f });
        }
    return paint.savePng(folder + "/" + paintName) && original.savePng(folder + "/" + originalName);
}

bool LevelPainter::writeTutorial(const std::vector<Footprint>& room)
{
    // A sun a metre ahead of the start: a yellow disc with eight orange rays, the same seen from
    // any side.
    const float cx = 1.1f, cz = 6.6f;
    Drawing sun = [=](float x, float z) {
        float dx = x - cx, dz = z - cz, r = std::sqrt(dx * dx + dz * dz);
        if (r <= 0.2f)
            return 0;
        for (int i = 0; i < 8; ++i) {
            float a = i * pi / 4, along = dx * std::cos(a) + dz * std::sin(a);
            float across = -dx * std::sin(a) + dz * std::cos(a);
            if (along >= 0.28f && along <= 0.43f && std::abs(across) <= 0.045f)
                return 1;
        }
        return -1;
    };
    std::vector<Colour> colours
        = { { 250 / 255.0f, 204 / 255.0f, 21 / 255.0f, 1 }, { 240 / 255.0f, 110 / 255.0f, 20 / 255.0f, 1 } };
    return writeHeight("tutorial_level_floor.png", 56, 76, 0)
        && writePair("tutorial_level_paint.png", "tutorial_level_original.png", 5.5f, 7.5f, 0.0f, room, sun, colours,
            0.808716f, 5.59216f, 0.0f);
}

bool LevelPainter::writeServer(const std::vector<Footprint>& room)
{
    // A flower in a pot near the start, upright in the target picture (its top towards -z):
    // pink petals, an orange heart, a green stem with two leaves and a terracotta pot.
    const float cx = 1.5f, cz = 8.9f;
    Drawing flower = [=](float x, float z) {
        float b = x - cx, a = cz - z; // a points up the picture, b to its right
        if (a * a + b * b <= 0.2f * 0.2f)
            return 1;
        for (int i = 0; i < 6; ++i) {
            float ang = i * pi / 3 + pi / 6;
            if (insideEllipse(a, b, 0.37f * std::cos(ang), 0.37f * std::sin(ang), 0.21f, 0.14f, ang))
                return 0;
        }
        if (a <= -0.2f && a >= -1.1f && std::abs(b) <= 0.05f)
            return 2;
        if (insideEllipse(a, b, -0.62f, 0.2f, 0.22f, 0.09f, -0.7f)
            || insideEllipse(a, b, -0.78f, -0.2f, 0.22f, 0.09f, 0.7f))
            return 2;
        if (a <= -1.0f && a >= -1.1f && std::abs(b) <= 0.36f)
            return 3;
        if (a < -1.1f && a >= -1.55f && std::abs(b) <= 0.32f + (a + 1.1f) * 0.18f)
            return 3;
        return -1;
    };
    std::vector<Colour> colours
        = { { 236 / 255.0f, 72 / 255.0f, 153 / 255.0f, 1 }, { 251 / 255.0f, 146 / 255.0f, 60 / 255.0f, 1 },
              { 34 / 255.0f, 160 / 255.0f, 70 / 255.0f, 1 }, { 180 / 255.0f, 83 / 255.0f, 45 / 255.0f, 1 } };
    return writeHeight("server_floor.png", 151, 121, 64)
        && writePair("floor_server_paint.png", "floor_server_original.png", 15.0f, 12.0f, 1.0f, room, flower, colours,
            3.0f, 9.5f, -pi / 2);
}
