// Draws lines of text into an Image with a FreeType face, antialiased.
#pragma once

#include "Image.h"

#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

class Lettering {
public:
    explicit Lettering(const std::string& fontPath);
    ~Lettering();
    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    bool ok() const
    {
        return face != nullptr;
    }
    // Width in pixels of the text at the given pixel height.
    float measure(const std::string& text, int pixelSize);
    // Pen starts at (x, baseline); returns the pen's end.
    float draw(Image& image, const std::string& text, float x, float baseline, int pixelSize, Colour colour);
    float drawCentred(
        Image& image, const std::string& text, float centreX, float baseline, int pixelSize, Colour colour);

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};
