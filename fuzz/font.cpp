// Any bytes as the font: opened from memory at the game's pixel size, with every character
// code rendered and turned into glyph coverage as the font's set-up does, without the GL upload.
#include "overlay/GlyphRaster.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int pixelSize = 22;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return 0;
    if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, pixelSize);
        for (FT_ULong c = 0; c < 256; ++c) {
            if (GlyphRaster::render(face, c, pixelSize))
                GlyphRaster::coverage(library, face->glyph->bitmap);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return 0;
}
