#include "ScreenPainter.h"

#include <cmath>

namespace {
const Colour paints[] = { { 0.93f, 0.22f, 0.27f, 1 }, { 0.98f, 0.62f, 0.12f, 1 }, { 0.99f, 0.86f, 0.22f, 1 },
    { 0.30f, 0.80f, 0.38f, 1 }, { 0.22f, 0.62f, 0.95f, 1 }, { 0.62f, 0.38f, 0.90f, 1 } };

void splat(Image& img, Noise& noise, float x, float y, float r, Colour c)
{
    img.fillEllipse(x, y, r, r * 0.92f, c);
    for (int i = 0; i < 7; ++i) {
        float a = noise.next() * 6.2832f, d = r * (0.9f + noise.next() * 0.9f);
        float rr = r * (0.12f + noise.next() * 0.22f);
        img.fillEllipse(x + std::cos(a) * d, y + std::sin(a) * d, rr, rr, c);
    }
}
}

ScreenPainter::ScreenPainter(const std::string& folder, const std::string& regularFont, const std::string& boldFont)
    : folder(folder)
    , regular(regularFont)
    , bold(boldFont)
{
}

void ScreenPainter::outlinedText(
    Image& img, const std::string& text, float cx, float baseline, int size, Colour fill, Colour outline, float width)
{
    for (int i = 0; i < 16; ++i) {
        float a = i * 6.2832f / 16;
        bold.drawCentred(img, text, cx + std::cos(a) * width, baseline + std::sin(a) * width, size, outline);
    }
    bold.drawCentred(img, text, cx, baseline, size, fill);
}

void ScreenPainter::drawVehicle(Image& img, float x, float y, float s)
{
    // Side view, facing right: tracks with wheels, hull, cab, nozzle and a fresh stripe of paint.
    img.fillRect(x - 40 * s, y + 38 * s, x + 260 * s, y + 46 * s, { 0.93f, 0.22f, 0.27f, 0.85f });
    img.fillRoundedRect(x, y, x + 220 * s, y + 44 * s, 22 * s, { 0.10f, 0.10f, 0.12f, 1 });
    for (int i = 0; i < 5; ++i)
        img.fillEllipse(x + (26 + i * 42) * s, y + 22 * s, 15 * s, 15 * s, { 0.45f, 0.46f, 0.5f, 1 });
    img.fillPolygon({ x + 10 * s, y - 2 * s, x + 200 * s, y - 2 * s, x + 225 * s, y - 40 * s, x + 30 * s, y - 52 * s },
        { 0.10f, 0.62f, 0.66f, 1 });
    img.fillPolygon(
        { x + 60 * s, y - 50 * s, x + 160 * s, y - 46 * s, x + 150 * s, y - 95 * s, x + 80 * s, y - 95 * s },
        { 0.96f, 0.78f, 0.20f, 1 });
    img.fillRect(x + 120 * s, y - 85 * s, x + 145 * s, y - 65 * s, { 0.35f, 0.7f, 0.95f, 1 });
    img.fillPolygon(
        { x + 210 * s, y - 30 * s, x + 262 * s, y + 10 * s, x + 252 * s, y + 20 * s, x + 200 * s, y - 18 * s },
        { 0.75f, 0.76f, 0.8f, 1 });
    img.fillEllipse(x + 255 * s, y + 22 * s, 9 * s, 6 * s, { 0.93f, 0.22f, 0.27f, 1 });
}

bool ScreenPainter::writeLoadingScreen()
{
    const int w = 1024, h = 768;
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float t = (float)y / h, vx = (x - w / 2.0f) / w;
            float v = 1.0f - 0.5f * vx * vx;
            img.set(x, y, { (0.10f + 0.08f * t) * v, (0.09f + 0.05f * t) * v, (0.20f + 0.10f * t) * v, 1 });
        }
    Noise noise(4242u);
    for (int i = 0; i < 26; ++i) {
        float x = noise.next() * w, y = 420 + noise.next() * 330;
        Colour c = paints[i % 6];
        c.a = 0.22f;
        splat(img, noise, x, y, 10 + noise.next() * 26, c);
    }
    // The title: one paint colour per letter, with a dark outline.
    const std::string title = "Tintbox";
    float titleWidth = bold.measure(title, 150);
    float pen = w / 2.0f - titleWidth / 2.0f;
    for (size_t i = 0; i < title.size(); ++i) {
        std::string letter(1, title[i]);
        for (int k = 0; k < 16; ++k) {
            float a = k * 6.2832f / 16;
            bold.draw(img, letter, pen + std::cos(a) * 6, 200 + std::sin(a) * 6, 150, { 0.03f, 0.03f, 0.06f, 1 });
        }
        pen = bold.draw(img, letter, pen, 200, 150, paints[i % 6]);
    }
    regular.drawCentred(img, "a small game of painting floors", w / 2.0f, 250, 28, { 0.8f, 0.8f, 0.9f, 1 });
    drawVehicle(img, 380, 360, 1.0f);
    outlinedText(img, "Loading...", w / 2.0f, 500, 54, { 1, 1, 1, 1 }, { 0.05f, 0.05f, 0.1f, 1 }, 3);

    img.fillRoundedRect(112, 540, 912, 740, 18, { 0.02f, 0.02f, 0.05f, 0.6f });
    const Colour text = { 0.92f, 0.92f, 0.96f, 1 }, key = { 0.99f, 0.86f, 0.22f, 1 };
    const char* lines[][2]
        = { { "W A S D", "drive" }, { "Mouse", "look around - look down a little to reach the floor" },
              { "Left button", "paint" }, { "Right button", "wipe" }, { "Wheel", "change colour" },
              { "Space", "show the target picture" }, { "Backspace", "skip the tutorial" }, { "Esc", "quit" } };
    for (int i = 0; i < 8; ++i) {
        float y = 572 + i * 22.0f;
        float kw = bold.measure(lines[i][0], 20);
        bold.draw(img, lines[i][0], 330 - kw, y, 20, key);
        regular.draw(img, lines[i][1], 350, y, 20, text);
    }
    return img.saveJpeg(folder + "/loadingScreen.jpg", 92);
}

bool ScreenPainter::writeWinScreen()
{
    Image img(400, 120);
    Noise noise(7u);
    splat(img, noise, 34, 60, 22, paints[0]);
    splat(img, noise, 366, 58, 22, paints[4]);
    splat(img, noise, 200, 104, 8, paints[2]);
    outlinedText(img, "Well painted!", 200, 76, 52, { 0.99f, 0.86f, 0.22f, 1 }, { 0.12f, 0.06f, 0.02f, 1 }, 3.5f);
    return img.savePng(folder + "/winScreen.png");
}

bool ScreenPainter::writeLoseScreen()
{
    Image img(400, 120);
    Noise noise(9u);
    Colour drip = { 0.55f, 0.6f, 0.7f, 0.8f };
    splat(img, noise, 40, 62, 16, drip);
    splat(img, noise, 362, 60, 16, drip);
    outlinedText(img, "Not quite...", 200, 76, 52, { 0.72f, 0.82f, 0.95f, 1 }, { 0.04f, 0.06f, 0.12f, 1 }, 3.5f);
    return img.savePng(folder + "/looseScreen.png");
}
