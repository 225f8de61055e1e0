#include "overlay/GlyphRaster.h"

#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstdlib>

namespace {
bool withinSide(FT_Pos side, int pixelSize)
{
    return side >= 0 && side <= static_cast<FT_Pos>(pixelSize) * GlyphRaster::maxSideFactor;
}
}

bool GlyphRaster::render(FT_Face face, FT_ULong c, int pixelSize)
{
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0)
        return false;
    FT_GlyphSlot glyph = face->glyph;
    // The outline's box bounds the bitmap the renderer would allocate: check it first.
    if (glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&glyph->outline, &box);
        if (!withinSide((box.xMax - box.xMin) / 64 + 2, pixelSize)
            || !withinSide((box.yMax - box.yMin) / 64 + 2, pixelSize))
            return false;
    }
    if (glyph->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(glyph, FT_RENDER_MODE_NORMAL) != 0)
        return false;
    return withinSide(glyph->bitmap.width, pixelSize) && withinSide(glyph->bitmap.rows, pixelSize);
}

std::vector<unsigned char> GlyphRaster::coverage(FT_Library library, const FT_Bitmap& bitmap)
{
    const size_t width = bitmap.width;
    const size_t rows = bitmap.rows;
    std::vector<unsigned char> texels(width * rows, 0);
    if (texels.empty() || !bitmap.buffer)
        return texels;
    // Other pixel modes (one-bit, coloured, sub-pixel) become one grey byte per pixel first.
    FT_Bitmap grey;
    FT_Bitmap_Init(&grey);
    const FT_Bitmap* source = &bitmap;
    int levels = 256;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Bitmap_Convert(library, &bitmap, &grey, 1) != 0 || grey.width != width || grey.rows != rows) {
            FT_Bitmap_Done(library, &grey);
            return std::vector<unsigned char>(width * rows, 0);
        }
        source = &grey;
        levels = std::max<int>(2, grey.num_grays);
    } else {
        levels = std::max<int>(2, bitmap.num_grays);
    }
    const size_t pitch = static_cast<size_t>(std::abs(source->pitch));
    for (size_t row = 0; row < rows; ++row) {
        // A negative pitch stores the rows bottom up; the texture wants the top row first.
        size_t line = source->pitch >= 0 ? row : rows - 1 - row;
        const unsigned char* from = source->buffer + line * pitch;
        for (size_t column = 0; column < width; ++column)
            texels[row * width + column] = static_cast<unsigned char>(std::min(255, from[column] * 255 / (levels - 1)));
    }
    FT_Bitmap_Done(library, &grey);
    return texels;
}
