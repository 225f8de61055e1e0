#include "Image.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>

Image::Image(int width, int height, Colour fill)
    : w(width)
    , h(height)
    , px(static_cast<size_t>(width) * height * 4)
{
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = fill.r;
        px[i + 1] = fill.g;
        px[i + 2] = fill.b;
        px[i + 3] = fill.a;
    }
}

Colour Image::get(int x, int y) const
{
    const float* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    return { p[0], p[1], p[2], p[3] };
}

void Image::set(int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    float* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = c.a;
}

void Image::blend(int x, int y, Colour c, float k)
{
    if (x < 0 || y < 0 || x >= w || y >= h || k <= 0.0f)
        return;
    float* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    float a = c.a * std::min(k, 1.0f);
    float outA = a + p[3] * (1.0f - a);
    if (outA <= 0.0f)
        return;
    for (int i = 0; i < 3; ++i) {
        float src = i == 0 ? c.r : (i == 1 ? c.g : c.b);
        p[i] = (src * a + p[i] * p[3] * (1.0f - a)) / outA;
    }
    p[3] = outA;
}

void Image::fillRect(float x0, float y0, float x1, float y1, Colour c)
{
    for (int y = std::max(0, (int)std::floor(y0)); y < std::min(h, (int)std::ceil(y1)); ++y)
        for (int x = std::max(0, (int)std::floor(x0)); x < std::min(w, (int)std::ceil(x1)); ++x) {
            float cx = std::min(x1, x + 1.0f) - std::max(x0, (float)x);
            float cy = std::min(y1, y + 1.0f) - std::max(y0, (float)y);
            blend(x, y, c, cx * cy);
        }
}

void Image::fillEllipse(float cx, float cy, float rx, float ry, Colour c)
{
    for (int y = std::max(0, (int)(cy - ry - 1)); y <= std::min(h - 1, (int)(cy + ry + 1)); ++y)
        for (int x = std::max(0, (int)(cx - rx - 1)); x <= std::min(w - 1, (int)(cx + rx + 1)); ++x) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
            blend(x, y, c, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
}

void Image::fillRoundedRect(float x0, float y0, float x1, float y1, float radius, Colour c)
{
    for (int y = std::max(0, (int)y0); y < std::min(h, (int)std::ceil(y1)); ++y)
        for (int x = std::max(0, (int)x0); x < std::min(w, (int)std::ceil(x1)); ++x) {
            float qx = std::max(std::abs(x + 0.5f - (x0 + x1) / 2) - ((x1 - x0) / 2 - radius), 0.0f);
            float qy = std::max(std::abs(y + 0.5f - (y0 + y1) / 2) - ((y1 - y0) / 2 - radius), 0.0f);
            float d = std::sqrt(qx * qx + qy * qy) - radius;
            blend(x, y, c, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
}

void Image::fillPolygon(const std::vector<float>& xy, Colour c)
{
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (size_t i = 0; i < xy.size(); i += 2) {
        minX = std::min(minX, xy[i]);
        maxX = std::max(maxX, xy[i]);
        minY = std::min(minY, xy[i + 1]);
        maxY = std::max(maxY, xy[i + 1]);
    }
    size_t n = xy.size() / 2;
    for (int y = std::max(0, (int)minY); y <= std::min(h - 1, (int)maxY); ++y)
        for (int x = std::max(0, (int)minX); x <= std::min(w - 1, (int)maxX); ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    float px0 = x + (sx + 0.5f) / 4, py0 = y + (sy + 0.5f) / 4;
                    bool in = false;
                    for (size_t i = 0, j = n - 1; i < n; j = i++) {
                        float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
                        if ((yi > py0) != (yj > py0) && px0 < (xj - xi) * (py0 - yi) / (yj - yi) + xi)
                            in = !in;
                    }
                    inside += in;
                }
            blend(x, y, c, inside / 16.0f);
        }
}

void Image::drawImage(const Image& src, int x, int y)
{
    for (int sy = 0; sy < src.h; ++sy)
        for (int sx = 0; sx < src.w; ++sx) {
            Colour c = src.get(sx, sy);
            blend(x + sx, y + sy, c);
        }
}

Image Image::rotated180() const
{
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.set(w - 1 - x, h - 1 - y, get(x, y));
    return out;
}

bool Image::savePng(const std::string& path, bool opaque) const
{
    return save(path, false, opaque, 0);
}

bool Image::saveJpeg(const std::string& path, int quality) const
{
    return save(path, true, true, quality);
}

bool Image::save(const std::string& path, bool jpeg, bool opaque, int quality) const
{
    int bpp = opaque ? 24 : 32;
    FIBITMAP* bitmap = FreeImage_Allocate(w, h, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!bitmap)
        return false;
    auto toByte = [](float v) { return static_cast<BYTE>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < h; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* row = FreeImage_GetScanLine(bitmap, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            Colour c = get(x, y);
            BYTE* p = row + x * (bpp / 8);
            p[FI_RGBA_RED] = toByte(c.r);
            p[FI_RGBA_GREEN] = toByte(c.g);
            p[FI_RGBA_BLUE] = toByte(c.b);
            if (!opaque)
                p[FI_RGBA_ALPHA] = toByte(c.a);
        }
    }
    bool ok = jpeg ? FreeImage_Save(FIF_JPEG, bitmap, path.c_str(), quality | JPEG_OPTIMIZE)
                   : FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_Z_BEST_COMPRESSION);
    FreeImage_Unload(bitmap);
    return ok;
}

float Noise::next()
{
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0f;
}
