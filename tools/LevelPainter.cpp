#include "LevelPainter.h"

#include "PixelFont.h"

#include <algorithm>
#include <cmath>

namespace {
const float pi = 3.14159265358979f;
// Everything of a target picture but the drawing lets the floor show through a little, so no
// other pixel can become a target.
const float mapAlpha = 235.0f / 255.0f;
const float insetAlpha = 254.0f / 255.0f;
const Colour mapGround = { 0.09f, 0.10f, 0.14f, 1 }, mapParts = { 0.27f, 0.29f, 0.36f, 1 },
             mapLines = { 0.82f, 0.84f, 0.9f, 1 }, mapVehicle = { 0.1f, 0.75f, 0.8f, 1 };
const int captionRows = 9;

bool insideEllipse(float a, float b, float ca, float cb, float ra, float rb, float angle)
{
    float da = a - ca, db = b - cb;
    float c = std::cos(angle), s = std::sin(angle);
    float u = da * c + db * s, v = -da * s + db * c;
    return (u * u) / (ra * ra) + (v * v) / (rb * rb) <= 1.0f;
}

void outline(Image& img, int c0, int r0, int c1, int r1, Colour c)
{
    for (int x = c0; x <= c1; ++x) {
        img.set(x, r0, c);
        img.set(x, r1, c);
    }
    for (int y = r0; y <= r1; ++y) {
        img.set(c0, y, c);
        img.set(c1, y, c);
    }
}

void segment(Image& img, int c0, int r0, int c1, int r1, Colour c)
{
    int steps = std::max(std::abs(c1 - c0), std::abs(r1 - r0));
    for (int i = 0; i <= steps; ++i) {
        float t = steps ? static_cast<float>(i) / steps : 0.0f;
        img.set(
            static_cast<int>(std::lround(c0 + (c1 - c0) * t)), static_cast<int>(std::lround(r0 + (r1 - r0) * t)), c);
    }
}

// Gives fully transparent pixels the colour of their coloured neighbours, a few pixels deep, so
// that the floor's smaller mip levels keep the hints' colours instead of fading them to black.
void bleedColours(Image& img, int depth)
{
    const int w = img.width(), h = img.height();
    std::vector<char> coloured(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            coloured[r * w + c] = img.get(c, r).a > 0.0f;
    for (int pass = 0; pass < depth; ++pass) {
        std::vector<char> next = coloured;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                if (coloured[r * w + c])
                    continue;
                Colour sum = { 0, 0, 0, 0 };
                for (auto [dc, dr] : { std::pair { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } }) {
                    int x = c + dc, y = r + dr;
                    if (x < 0 || y < 0 || x >= w || y >= h || !coloured[y * w + x])
                        continue;
                    Colour n = img.get(x, y);
                    sum = { sum.r + n.r, sum.g + n.g, sum.b + n.b, sum.a + 1 };
                }
                if (sum.a > 0) {
                    img.set(c, r, { sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, 0 });
                    next[r * w + c] = 1;
                }
            }
        coloured = next;
    }
}

// Pixel (u, y) of a line of lettering stretched to `stretch` rows per font row. In the last row
// of a font row, a blank pixel below which a stroke steps on diagonally is inked, so that the
// tall strokes of N, W, A and V stay one line instead of blocks touching at their corners.
Colour strokeAt(const Image& upright, int u, int y, int stretch)
{
    const int v = y / stretch;
    Colour c = upright.get(u, v);
    if (stretch < 2 || c.a > 0.0f || y % stretch != stretch - 1 || v + 1 >= upright.height()
        || upright.get(u, v + 1).a <= 0.0f)
        return c;
    for (int side : { -1, 1 }) {
        int n = u + side;
        if (n >= 0 && n < upright.width() && upright.get(n, v).a > 0.0f && upright.get(n, v + 1).a <= 0.0f)
            return upright.get(n, v);
    }
    return c;
}

// The enlarged copy of a drawing: the source rectangle (the drawing's bounds and a pixel of
// margin), where the copy goes and at which whole scale; scale 0 when there is no room for one.
struct Copy {
    int s0, t0, dw, dh;
    int c0 = 0, r0 = 0, scale = 0;

    bool covers(int c, int r) const
    {
        return scale > 0 && c >= c0 && r >= r0 && c < c0 + dw * scale && r < r0 + dh * scale;
    }
};

// Puts the copy into the widest of the four bands beside the drawing's frame, at the largest
// whole scale that leaves room around it and for its caption above.
void placeCopy(Copy& copy, int w, int h, const int frame[4])
{
    const int gap = 4;
    const int bands[4][4] = { { 0, 0, w, frame[1] - gap }, { 0, frame[3] + gap, w, h }, { 0, 0, frame[0] - gap, h },
        { frame[2] + gap, 0, w, h } };
    for (const auto& b : bands) {
        int k = std::min((b[2] - b[0] - 2 * gap) / copy.dw, (b[3] - b[1] - 2 * gap - captionRows) / copy.dh);
        if (k > std::max(copy.scale, 1)) {
            copy.scale = k;
            copy.c0 = (b[0] + b[2] - copy.dw * k) / 2;
            copy.r0 = (b[1] + b[3] - copy.dh * k + captionRows) / 2;
        }
    }
}

// The start place: an arrow the vehicle's colour pointing the way it looks, "START" behind it.
void startMark(Image& img, float x, float y, float dx, float dy)
{
    const float length = 5.0f, half = 3.5f;
    img.fillPolygon({ x + dx * length, y + dy * length, x - dx * length - dy * half, y - dy * length + dx * half,
                        x - dx * length + dy * half, y - dy * length - dx * half },
        mapVehicle);
    const char* label = "START";
    const float w = static_cast<float>(PixelFont::measure(label)), h = PixelFont::capHeight;
    float away = length + 2.0f + std::abs(dx) * w / 2.0f + std::abs(dy) * h / 2.0f;
    PixelFont::draw(img, label, static_cast<int>(std::lround(x - dx * away - w / 2.0f)),
        static_cast<int>(std::lround(y - dy * away + h / 2.0f)) - 1, mapLines, mapLines);
}

// A leader between two frames (left, top, right, bottom), on the line through their centres.
void leader(Image& img, const int a[4], const int b[4], Colour c)
{
    float ax = (a[0] + a[2]) / 2.0f, ay = (a[1] + a[3]) / 2.0f, bx = (b[0] + b[2]) / 2.0f, by = (b[1] + b[3]) / 2.0f;
    // The share of the way from a's centre to b's at which the line leaves a frame of half-size (hw, hh).
    auto leave = [&](float hw, float hh) {
        return std::min(hw / std::max(std::abs(bx - ax), 1e-3f), hh / std::max(std::abs(by - ay), 1e-3f));
    };
    float from = leave((a[2] - a[0]) / 2.0f, (a[3] - a[1]) / 2.0f);
    float to = 1 - leave((b[2] - b[0]) / 2.0f, (b[3] - b[1]) / 2.0f);
    segment(img, static_cast<int>(ax + (bx - ax) * from), static_cast<int>(ay + (by - ay) * from),
        static_cast<int>(ax + (bx - ax) * to), static_cast<int>(ay + (by - ay) * to), c);
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

LevelPainter::Layout LevelPainter::layOut(
    float floorW, float floorD, float pixelsPerUnit, const Drawing& drawing, const std::vector<Colour>& colours)
{
    Layout l;
    l.pixelsPerUnit = pixelsPerUnit;
    l.width = static_cast<int>(std::lround(floorW * pixelsPerUnit));
    l.height = static_cast<int>(std::lround(floorD * pixelsPerUnit));
    l.index.assign(static_cast<size_t>(l.width) * l.height, -1);
    l.colours = colours;
    l.lo[0] = l.width;
    l.lo[1] = l.height;
    // The outermost ring of the paint picture cannot be painted: the drawing stays off it.
    for (int r = 1; r < l.height - 1; ++r)
        for (int c = 1; c < l.width - 1; ++c) {
            int k = drawing((c + 0.5f) / pixelsPerUnit, (r + 0.5f) / pixelsPerUnit);
            l.index[static_cast<size_t>(r) * l.width + c] = k;
            if (k < 0)
                continue;
            l.lo[0] = std::min(l.lo[0], c);
            l.lo[1] = std::min(l.lo[1], r);
            l.hi[0] = std::max(l.hi[0], c);
            l.hi[1] = std::max(l.hi[1], r);
        }
    return l;
}

Image LevelPainter::paintPicture(const Layout& layout, const std::vector<Line>& lettering)
{
    Image paint(layout.width, layout.height);
    for (int r = 0; r < layout.height; ++r)
        for (int c = 0; c < layout.width; ++c)
            if (int k = layout.at(c, r); k >= 0) {
                const Colour& target = layout.colours[k];
                paint.set(c, r, { target.r, target.g, target.b, hintAlpha });
            }

    // The picture's rows run along +z and its columns along +x. A player looking along +z has
    // -x on the right, so a line reads upright turned half round; one looking along +x has +z on
    // the right, so a line reads upright turned a quarter.
    const Colour ink = { 0.16f, 0.18f, 0.22f, 0.8f }, accent = { 0.15f, 0.45f, 0.95f, 1 };
    for (const Line& line : lettering) {
        const int width = PixelFont::measure(line.text), rows = PixelFont::capHeight + 2;
        const int height = rows * line.stretch;
        Image upright(width, rows);
        PixelFont::draw(upright, line.text, 0, rows - 1, ink, accent);
        const float pixelsPerUnit = layout.pixelsPerUnit;
        const int c0 = static_cast<int>(std::lround(line.x * pixelsPerUnit - (line.facingX ? 0 : width / 2.0f)));
        const int r0 = static_cast<int>(std::lround(line.z * pixelsPerUnit - (line.facingX ? width / 2.0f : 0)));
        for (int v = 0; v < height; ++v)
            for (int u = 0; u < width; ++u) {
                int c = line.facingX ? c0 + height - 1 - v : c0 + width - 1 - u;
                int r = line.facingX ? r0 + u : r0 + height - 1 - v;
                bool inside = c >= 0 && r >= 0 && c < layout.width && r < layout.height;
                Colour ink = strokeAt(upright, u, v, line.stretch);
                if (inside && ink.a > 0.0f && layout.at(c, r) < 0)
                    paint.set(c, r, ink);
            }
    }
    bleedColours(paint, 4);
    return paint;
}

Image LevelPainter::targetPicture(const Layout& layout, float floorY, const std::vector<Footprint>& room, Start start)
{
    const int w = layout.width, h = layout.height;
    const float ppu = layout.pixelsPerUnit;
    // A plan of the room: what stands on the floor, within its walls.
    Image img(w, h, mapGround);
    for (const Footprint& f : room)
        if (f.hi.y > floorY && f.lo.y < floorY + 0.2f)
            img.fillRect(f.lo.x * ppu, f.lo.z * ppu, f.hi.x * ppu, f.hi.z * ppu, mapParts);
    outline(img, 0, 0, w - 1, h - 1, mapLines);
    outline(img, 1, 1, w - 2, h - 2, mapLines);
    // Doors are gaps in the walls, two pixels on either side of their thin side.
    for (const Footprint& f : room)
        if (f.door) {
            float across = f.hi.x - f.lo.x < f.hi.z - f.lo.z ? 2.0f : 0.0f, along = 2.0f - across;
            img.fillRect(
                f.lo.x * ppu - across, f.lo.z * ppu - along, f.hi.x * ppu + across, f.hi.z * ppu + along, mapGround);
        }

    // The drawing's own place, framed, and its enlarged copy with a caption and a leader.
    const int m = 2;
    const int own[4] = { layout.lo[0] - m, layout.lo[1] - m, layout.hi[0] + m, layout.hi[1] + m };
    outline(img, own[0], own[1], own[2], own[3], mapLines);
    Copy copy { layout.lo[0] - 1, layout.lo[1] - 1, layout.hi[0] - layout.lo[0] + 3, layout.hi[1] - layout.lo[1] + 3 };
    placeCopy(copy, w, h, own);
    const int cw = copy.dw * copy.scale, ch = copy.dh * copy.scale;
    if (copy.scale > 0) {
        const int frame[4] = { copy.c0 - 1, copy.r0 - 1, copy.c0 + cw, copy.r0 + ch };
        outline(img, frame[0], frame[1], frame[2], frame[3], mapLines);
        const char* title = "PAINT THIS";
        PixelFont::draw(img, title, copy.c0 + (cw - PixelFont::measure(title)) / 2, copy.r0 - 4, mapLines, mapLines);
        leader(img, frame, own, mapLines);
    }
    startMark(img, start.x * ppu, start.z * ppu, start.headingX, start.headingZ);

    // The drawing in opaque colours at its place, nearly so in the copy; all else stays
    // translucent.
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            Colour p = img.get(c, r);
            if (int k = layout.at(c, r); k >= 0)
                p = layout.colours[k];
            else if (copy.covers(c, r)) {
                int copied = layout.at(copy.s0 + (c - copy.c0) / copy.scale, copy.t0 + (r - copy.r0) / copy.scale);
                p = copied >= 0 ? layout.colours[copied] : mapGround;
                p.a = insetAlpha;
            } else
                p.a = mapAlpha;
            img.set(c, r, p);
        }
    return img;
}

bool LevelPainter::writePair(const std::string& paintName, const std::string& originalName, const Layout& layout,
    float floorY, const std::vector<Footprint>& room, Start start, const std::vector<Line>& lettering) const
{
    return paintPicture(layout, lettering).savePng(folder + "/" + paintName)
        && targetPicture(layout, floorY, room, start).savePng(folder + "/" + originalName);
}

bool LevelPainter::writeTutorial(const std::vector<Footprint>& room)
{
    // A sun beside the start, a look to the left away: a yellow disc with eight orange rays,
    // the same seen from any side.
    const float cx = 1.8f, cz = 5.95f;
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
    // Seen from the start the floor runs from the vehicle's nose to the door wall 1.9 ahead and
    // narrows towards the vehicle. It carries the controls a first stroke needs, beyond the
    // reach so that a first stroke cannot spoil them, the longest line farthest, each centred in
    // what shows. Wiping is explained beyond the sun, for a player who turns to look at it: seen
    // from the start at a slant, 1.6 and more away, in letters twice as tall.
    const std::vector<Line> controls = { { "SPACE: GOAL", 1.1f, 7.2f }, { "l PAINT", 1.0f, 6.8f },
        { "w COLOUR", 0.9f, 6.4f }, { "r WIPE", 3.0f, 5.95f, true, 2 }, { "NO PAINT BACK", 2.4f, 5.95f, true, 2 } };
    // 20 paint pixels per unit: the start view's crosshair runs along x = 0.81, across pixels
    // rather than along a seam between two.
    return writeHeight("tutorial_level_floor.png", 56, 76, 0)
        && writePair("tutorial_level_paint.png", "tutorial_level_original.png", layOut(5.5f, 7.5f, 20.0f, sun, colours),
            0.0f, room, { 0.808716f, 5.59216f, 0, 1 }, controls);
}

bool LevelPainter::writeServer(const std::vector<Footprint>& room)
{
    // A flower in a pot near the start, upright in the target picture (its top towards -z):
    // pink petals, a yellow heart, a green stem with two leaves and a terracotta pot. An orange
    // heart would look like the pot as a hint on the dark floor.
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
        = { { 236 / 255.0f, 72 / 255.0f, 153 / 255.0f, 1 }, { 250 / 255.0f, 204 / 255.0f, 21 / 255.0f, 1 },
              { 34 / 255.0f, 160 / 255.0f, 70 / 255.0f, 1 }, { 180 / 255.0f, 83 / 255.0f, 45 / 255.0f, 1 } };
    // After the intro the crosshair runs along z = 9.5 while the player looks up and down: with
    // 20 2/3 paint pixels per unit (310 x 248) that line crosses pixels a third of the way in,
    // instead of running on a seam between two.
    return writeHeight("server_floor.png", 151, 121, 64)
        && writePair("floor_server_paint.png", "floor_server_original.png",
            layOut(15.0f, 12.0f, 62.0f / 3.0f, flower, colours), 1.0f, room, { 3.0f, 9.5f, -1, 0 }, {});
}
