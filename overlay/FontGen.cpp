#include "overlay/FontGen.h"

#include "overlay/GlyphRaster.h"
#include "overlay/TextLabel.h"
#include "render/Mesh.h"
#include "render/RegularFile.h"

#include <utility>
#include <vector>

namespace {
// Fonts of this kind run to a few hundred kilobytes; a font file is read whole up to this.
const size_t maxFontBytes = 32 << 20;
}

FontGen::FontGen(
    Shader* shader, const std::string& fontPath, int textureUnit, int pixelSize, int* windowWidth, int* windowHeight)
    : pixelSize(pixelSize)
    , textureUnit(textureUnit)
    , windowWidth(windowWidth)
    , windowHeight(windowHeight)
    , shader(shader)
{
    if (FT_Init_FreeType(&library) != 0)
        throw new std::string("FontGen: failed to load freetype.");
    // Read by the game rather than by FreeType, so that only a regular file of bounded size is opened.
    if (!RegularFile::read(fontPath, maxFontBytes, fontBytes)
        || FT_New_Memory_Face(library, fontBytes.data(), static_cast<FT_Long>(fontBytes.size()), 0, &face) != 0) {
        FT_Done_FreeType(library);
        throw new std::string("FontGen: failed to load font.");
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    if (!GlyphRaster::render(face, 'X', pixelSize)) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        throw new std::string("FontGen: failed to load character 'X'.");
    }

    glyph = face->glyph;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int c = 0; c < 256; ++c) {
        if (!GlyphRaster::render(face, static_cast<FT_ULong>(c), pixelSize))
            continue;
        glyphLayouts[c] = GlyphLayout { true, glyph->bitmap_left, glyph->bitmap_top, glyph->bitmap.width,
            glyph->bitmap.rows, glyph->advance.x, glyph->advance.y };
        glGenTextures(1, &glyphTextures[c]);
        uploadGlyph(glyphTextures[c]);
    }
}

FontGen::~FontGen()
{
    for (GLuint name : glyphTextures) {
        if (name != 0)
            glDeleteTextures(1, &name);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void FontGen::uploadGlyph(GLuint name)
{
    int width = static_cast<int>(glyph->bitmap.width);
    int rows = static_cast<int>(glyph->bitmap.rows);
    std::vector<unsigned char> texels = GlyphRaster::coverage(library, glyph->bitmap);
    // An empty bitmap (the space) becomes one transparent texel, so the texture stays complete.
    if (texels.empty()) {
        texels.assign(1, 0);
        width = 1;
        rows = 1;
    }

    glActiveTexture(GL_TEXTURE0 + textureUnit);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, rows, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // An alpha texture samples as (0, 0, 0, a); white coverage lets the font program tint it.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R, GL_ONE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_ONE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_ONE);
    glActiveTexture(GL_TEXTURE0 + textureUnit);
    glBindTexture(GL_TEXTURE_2D, name);
}

TextLabel* FontGen::createText(const std::string& text, glm::vec2 position)
{
    // A minimised window reports a zero size; dividing by 1 keeps every vertex finite.
    int width = *windowWidth > 0 ? *windowWidth : 1;
    int height = *windowHeight > 0 ? *windowHeight : 1;
    float unitX = static_cast<float>(2.0 / width);
    float unitY = static_cast<float>(2.0 / height);
    float penX = position.x * unitX;
    float penY = position.y * unitY;

    const float normals[] = { 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1 };
    // The bitmap's first row is its top, so v = 0 lies at the top edge.
    const float uvs[] = { 0, 0, 1, 0, 0, 1, 1, 1 };
    const unsigned int indices[] = { 0, 2, 1, 3 };
    std::vector<Mesh*> meshes;
    for (char byte : text) {
        if (byte == '\0')
            break;
        unsigned char c = static_cast<unsigned char>(byte);
        const GlyphLayout& metrics = glyphLayouts[c];
        if (!metrics.loaded)
            continue;
        float left = penX + static_cast<float>(metrics.left) * unitX;
        float top = penY + static_cast<float>(metrics.top) * unitY;
        float right = left + static_cast<float>(metrics.width) * unitX;
        float bottom = top - static_cast<float>(metrics.rows) * unitY;
        const float positions[] = { left, top, 0, right, top, 0, left, bottom, 0, right, bottom, 0 };
        meshes.push_back(new Mesh(shader, normals, uvs, positions, indices, 4, 4, glyphTextures[c], textureUnit,
            GL_TRIANGLE_STRIP, Material()));
        penX += static_cast<float>(metrics.advanceX >> 6) * unitX;
        penY += static_cast<float>(metrics.advanceY >> 6) * unitY;
    }

    TextLabel* label = new TextLabel(std::move(meshes), glm::mat4(1.0f), shader);
    label->text = text.substr(0, text.find('\0'));
    return label;
}
