#include "PixelFont.h"

#include <map>
#include <vector>

namespace {
using Glyph = std::vector<std::string>;

// Rows top to bottom, '#' ink, '*' accent; a glyph is as wide as its rows.
const std::map<char, Glyph>& glyphs()
{
    static const std::map<char, Glyph> table {
        { 'A', { ".#.", "#.#", "###", "#.#", "#.#" } },
        { 'B', { "##.", "#.#", "##.", "#.#", "##." } },
        { 'C', { ".##", "#..", "#..", "#..", ".##" } },
        { 'D', { "##.", "#.#", "#.#", "#.#", "##." } },
        { 'E', { "###", "#..", "##.", "#..", "###" } },
        { 'F', { "###", "#..", "##.", "#..", "#.." } },
        { 'G', { ".##", "#..", "#.#", "#.#", ".##" } },
        { 'H', { "#.#", "#.#", "###", "#.#", "#.#" } },
        { 'I', { "#", "#", "#", "#", "#" } },
        { 'K', { "#.#", "#.#", "##.", "#.#", "#.#" } },
        { 'L', { "#..", "#..", "#..", "#..", "###" } },
        { 'M', { "#...#", "##.##", "#.#.#", "#...#", "#...#" } },
        { 'N', { "#...#", "##..#", "#.#.#", "#..##", "#...#" } },
        { 'O', { ".#.", "#.#", "#.#", "#.#", ".#." } },
        { 'P', { "###", "#.#", "###", "#..", "#.." } },
        { 'R', { "##.", "#.#", "##.", "#.#", "#.#" } },
        { 'S', { "###", "#..", "###", "..#", "###" } },
        { 'T', { "###", ".#.", ".#.", ".#.", ".#." } },
        { 'U', { "#.#", "#.#", "#.#", "#.#", "###" } },
        { 'V', { "#.#", "#.#", "#.#", "#.#", ".#." } },
        { 'W', { "#...#", "#...#", "#.#.#", "#.#.#", ".#.#." } },
        { 'Y', { "#.#", "#.#", ".#.", ".#.", ".#." } },
        { ':', { ".", "#", ".", "#", "." } },
        { ',', { ".", ".", ".", "#", "#" } },
        { '-', { "...", "...", "###", "...", "..." } },
        { ' ', { "" } },
        // A mouse seen from above with the button that is meant filled in.
        { 'l', { ".###.", "#*#.#", "#*#.#", "#*#.#", "#####", "#...#", ".###." } },
        { 'r', { ".###.", "#.#*#", "#.#*#", "#.#*#", "#####", "#...#", ".###." } },
        { 'w', { ".#*#.", "#.*.#", "#.*.#", "#.*.#", "#####", "#...#", ".###." } },
    };
    return table;
}

const Glyph* glyphFor(char c)
{
    auto found = glyphs().find(c);
    return found == glyphs().end() ? nullptr : &found->second;
}
}

int PixelFont::measure(const std::string& text)
{
    int width = 0;
    for (char c : text)
        if (const Glyph* g = glyphFor(c))
            width += static_cast<int>(g->front().size()) + 1;
    return width > 0 ? width - 1 : 0;
}

int PixelFont::draw(Image& image, const std::string& text, int x, int baseline, Colour ink, Colour accent)
{
    for (char c : text) {
        const Glyph* g = glyphFor(c);
        if (!g)
            continue;
        const int top = baseline - static_cast<int>(g->size()) + 1;
        for (size_t row = 0; row < g->size(); ++row)
            for (size_t col = 0; col < (*g)[row].size(); ++col)
                if ((*g)[row][col] != '.')
                    image.set(
                        x + static_cast<int>(col), top + static_cast<int>(row), (*g)[row][col] == '#' ? ink : accent);
        x += static_cast<int>(g->front().size()) + 1;
    }
    return x - 1;
}
