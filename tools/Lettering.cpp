#include "Lettering.h"

Lettering::Lettering(const std::string& fontPath)
{
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0)
        face = nullptr;
}

Lettering::~Lettering()
{
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
}

float Lettering::measure(const std::string& text, int pixelSize)
{
    if (!face)
        return 0.0f;
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    float pen = 0.0f;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0)
            pen += face->glyph->advance.x / 64.0f;
    }
    return pen;
}

float Lettering::draw(Image& image, const std::string& text, float x, float baseline, int pixelSize, Colour colour)
{
    if (!face)
        return x;
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    float pen = x;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot g = face->glyph;
        int left = static_cast<int>(pen) + g->bitmap_left;
        int top = static_cast<int>(baseline) - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                unsigned char v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                image.blend(left + static_cast<int>(col), top + static_cast<int>(row), colour, v / 255.0f);
            }
        pen += g->advance.x / 64.0f;
    }
    return pen;
}

float Lettering::drawCentred(
    Image& image, const std::string& text, float centreX, float baseline, int pixelSize, Colour colour)
{
    float width = measure(text, pixelSize);
    return draw(image, text, centreX - width / 2.0f, baseline, pixelSize, colour);
}
