#include "TexturePainter.h"

#include "Image.h"

#include <algorithm>
#include <cmath>

TexturePainter::TexturePainter(const std::string& folder)
    : folder(folder)
{
}

bool TexturePainter::writeDefaults() const
{
    Image checker(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.set(x, y, ((x / 8 + y / 8) % 2) ? Colour { 0, 0, 0, 1 } : Colour { 1, 0, 1, 1 });
    Image white(8, 8, { 1, 1, 1, 1 });
    return checker.savePng(folder + "/default.png") && white.savePng(folder + "/defaultWhite.png");
}

bool TexturePainter::writeFloor() const
{
    // Four by four mid-grey tiles with bevelled edges and a fine terrazzo speckle; every tile
    // boundary falls on the picture's edge, so the texture repeats without a seam. Mid-grey, not
    // light, so that paint, hints and the light texts over the floor stand out.
    const int size = 512, tile = 128;
    Image img(size, size);
    Noise noise(20240611u);
    float tint[16];
    for (float& t : tint)
        t = 0.96f + 0.06f * noise.next();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int tx = x % tile, ty = y % tile;
            float base = 0.54f * tint[(y / tile) * 4 + x / tile];
            float v = base + 0.05f * (noise.next() - 0.5f);
            if (noise.next() < 0.03f)
                v -= 0.12f * noise.next();
            if (noise.next() < 0.015f)
                v += 0.10f;
            int edge = std::min(std::min(tx, ty), std::min(tile - 1 - tx, tile - 1 - ty));
            if (edge < 2)
                v = 0.3f;
            else if (edge < 6)
                v += (tx < 6 || ty < 6) ? 0.08f : -0.08f;
            img.set(x, y, { v * 0.97f, v * 0.98f, v, 1 });
        }
    return img.saveJpeg(folder + "/floor.jpg", 90);
}

bool TexturePainter::writeTrack() const
{
    // u runs along the track: 128 tread bars; v across it, with a guide strip in the middle.
    const int w = 1024, h = 16;
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int phase = x % 8;
            float v = 0.11f;
            if (phase >= 2 && phase <= 5)
                v = phase == 2 ? 0.34f : 0.26f;
            if (y >= 7 && y <= 8)
                v = phase < 4 ? 0.42f : 0.20f;
            if (y == 0 || y == h - 1)
                v *= 0.6f;
            img.set(x, y, { v, v, v * 1.05f, 1 });
        }
    return img.savePng(folder + "/track.png", true);
}

bool TexturePainter::writeRackFront() const
{
    // Four different cabinet fronts side by side; each is 128 x 256 with a frame, server units,
    // vents and status lights.
    const int w = 512, h = 256;
    Image img(w, h, { 0.07f, 0.075f, 0.085f, 1 });
    Noise noise(77u);
    const Colour leds[]
        = { { 0.2f, 1.0f, 0.35f, 1 }, { 1.0f, 0.7f, 0.1f, 1 }, { 0.25f, 0.6f, 1.0f, 1 }, { 1.0f, 0.25f, 0.2f, 1 } };
    for (int cab = 0; cab < 4; ++cab) {
        float x0 = cab * 128.0f;
        img.fillRect(x0 + 2, 2, x0 + 126, 254, { 0.16f, 0.17f, 0.19f, 1 });
        img.fillRect(x0 + 8, 10, x0 + 120, 246, { 0.05f, 0.05f, 0.06f, 1 });
        float y = 14;
        while (y < 236) {
            int units = 1 + static_cast<int>(noise.next() * 3.0f);
            float unitH = 9.0f * units;
            if (y + unitH > 242)
                break;
            float shade = 0.20f + 0.12f * noise.next();
            bool silver = noise.next() < 0.3f;
            Colour face = silver ? Colour { 0.55f, 0.57f, 0.6f, 1 } : Colour { shade, shade, shade * 1.08f, 1 };
            img.fillRect(x0 + 11, y, x0 + 117, y + unitH - 1.5f, face);
            for (float vx = x0 + 40; vx < x0 + 104; vx += 4)
                img.fillRect(vx, y + 2, vx + 2, y + unitH - 3.5f, { face.r * 0.5f, face.g * 0.5f, face.b * 0.5f, 1 });
            int ledCount = 1 + static_cast<int>(noise.next() * 4.0f);
            for (int l = 0; l < ledCount; ++l) {
                Colour c = leds[static_cast<int>(noise.next() * 4.0f) % 4];
                float lx = x0 + 16 + l * 6.0f, ly = y + 3;
                img.fillRect(lx - 1, ly - 1, lx + 4, ly + 4, { c.r, c.g, c.b, 0.35f });
                img.fillRect(lx, ly, lx + 3, ly + 3, c);
            }
            y += unitH;
        }
        img.fillRect(x0 + 112, 120, x0 + 116, 140, { 0.6f, 0.62f, 0.65f, 1 });
    }
    return img.savePng(folder + "/rack.png", true);
}

bool TexturePainter::writeColourBall() const
{
    // A light ball lit from the upper left, on transparency; the game tints it.
    const int size = 48;
    Image img(size, size);
    const float c = size / 2.0f, r = size / 2.0f - 1.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f - c) / r, dy = (y + 0.5f - c) / r;
            float d2 = dx * dx + dy * dy;
            float coverage = std::clamp((1.0f - std::sqrt(d2)) * r + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0.0f)
                continue;
            float nz = std::sqrt(std::max(0.0f, 1.0f - d2));
            float lambert = std::max(0.0f, -0.45f * dx - 0.55f * dy + 0.70f * nz);
            float highlight = std::pow(std::max(0.0f, -0.3f * dx - 0.4f * dy + 0.87f * nz), 40.0f);
            float v = std::min(1.0f, 0.35f + 0.65f * lambert + 0.5f * highlight);
            img.set(x, y, { v, v, v, coverage });
        }
    return img.savePng(folder + "/colorBall.png");
}
