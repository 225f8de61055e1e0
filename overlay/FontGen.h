// The font of the 2D layer: one TrueType face opened with FreeType at one pixel size and one
// GL_ALPHA texture per character code 0-255, from which it builds text labels. Owns the glyph
// textures and the FreeType objects.
#pragma once

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/glm.hpp>

#include <array>
#include <string>
#include <vector>

class Shader;
class TextLabel;

// What a label needs of one rendered glyph, read from FreeType's glyph slot after loading it.
struct GlyphLayout {
    bool loaded = false;
    int left = 0;
    int top = 0;
    unsigned int width = 0;
    unsigned int rows = 0;
    FT_Pos advanceX = 0;
    FT_Pos advanceY = 0;
};

class FontGen {
public:
    // Throws a new std::string with the message when FreeType, the font or its 'X' fails.
    FontGen(Shader* shader, const std::string& fontPath, int textureUnit, int pixelSize, int* windowWidth,
        int* windowHeight);
    ~FontGen();
    FontGen(const FontGen&) = delete;
    FontGen& operator=(const FontGen&) = delete;

    // A new label owned by the caller. The bytes up to the first NUL are character codes; the
    // pen starts on the baseline at `position`, in pixels from the window centre, y upward.
    TextLabel* createText(const std::string& text, glm::vec2 position);

    int pixelSize = 0;
    int textureUnit = 0;
    int* windowWidth = nullptr;
    int* windowHeight = nullptr;
    // Zero where FreeType could not load the character.
    std::array<GLuint, 256> glyphTextures {};
    // The glyph slot's metrics of each character as loaded at start-up; the face and its size
    // never change, so labels are laid out from these without reloading the glyphs.
    std::array<GlyphLayout, 256> glyphLayouts {};
    Shader* shader = nullptr;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FT_GlyphSlot glyph = nullptr;
    // The font file, which FreeType reads from memory for as long as the face lives.
    std::vector<unsigned char> fontBytes;

private:
    void uploadGlyph(GLuint name);
};
