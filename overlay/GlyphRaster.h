// The FreeType side of the font, without GL: renders one character into the face's glyph slot,
// refusing glyphs whose bitmap would be far larger than the pixel size (a font can declare
// outlines of any extent), and turns the rendered bitmap, whatever FreeType's pixel mode, into
// one coverage byte per texel, top row first.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

class GlyphRaster {
public:
    // Loads and renders character c at the face's size; false when FreeType cannot, or when its
    // bitmap would have a side over maxSideFactor times the pixel size.
    static bool render(FT_Face face, FT_ULong c, int pixelSize);
    // The bitmap as coverage bytes (0 none, 255 full), width * rows of them.
    static std::vector<unsigned char> coverage(FT_Library library, const FT_Bitmap& bitmap);

    static constexpr int maxSideFactor = 16;
};
