// A bitmap font for lettering the paint pictures, one picture pixel per font pixel so that it
// stays crisp on the floor: capitals 5 pixels tall, a few signs, and the mouse pictograms, written
// as lower-case letters: 'l' left button, 'r' right button, 'w' wheel, the part meant drawn in
// an accent colour.
#pragma once

#include "Image.h"

#include <string>

class PixelFont {
public:
    static constexpr int capHeight = 5;

    // Width in pixels of a line of text.
    static int measure(const std::string& text);
    // Writes the text with the bottom of its capitals on row `baseline`, starting at column x;
    // pictograms reach two rows above the capitals. Returns the column after the text.
    static int draw(Image& image, const std::string& text, int x, int baseline, Colour ink, Colour accent);
};
