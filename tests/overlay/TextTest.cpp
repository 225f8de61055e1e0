#include "overlay/FontGen.h"
#include "overlay/TextLabel.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "tests/overlay/OverlayFixture.h"
#include "tests/support/HostileFiles.h"

#include <memory>

namespace {
struct GlyphMetrics {
    int left, top, width, rows, advance;
};

GlyphMetrics metricsOf(FontGen& font, unsigned char c)
{
    EXPECT_EQ(FT_Load_Char(font.face, c, FT_LOAD_RENDER), 0);
    FT_GlyphSlot g = font.face->glyph;
    return { g->bitmap_left, g->bitmap_top, static_cast<int>(g->bitmap.width), static_cast<int>(g->bitmap.rows),
        static_cast<int>(g->advance.x >> 6) };
}
}

TEST_F(OverlayTest, FontSetUpFailsWithItsMessage)
{
    std::string folder = makeTempDir("fonts");
    makeFifo(folder + "/fifo.ttf");
    linkToDevice(folder + "/zero.ttf");
    // Neither a folder nor a FIFO nor a device is read: each fails like a missing font.
    for (std::string path :
        { std::string("Resources/noSuchFont.ttf"), folder, folder + "/fifo.ttf", folder + "/zero.ttf" }) {
        std::string* message = nullptr;
        try {
            FontGen broken(fontShader, path, 2, 22, &windowWidth, &windowHeight);
        } catch (std::string* thrown) {
            message = thrown;
        }
        ASSERT_NE(message, nullptr) << path;
        EXPECT_EQ(*message, "FontGen: failed to load font.") << path;
        delete message;
    }
}

TEST_F(OverlayTest, GlyphTexturesAreWhiteAlphaOnTheirUnit)
{
    GlyphMetrics a = metricsOf(*fontGen, 'A');
    GLuint texture = fontGen->glyphTextures['A'];
    ASSERT_TRUE(glIsTexture(texture));
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, a.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &value);
    EXPECT_EQ(value, a.rows);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    EXPECT_EQ(value, GL_ALPHA);
    for (GLenum swizzle : { GL_TEXTURE_SWIZZLE_R, GL_TEXTURE_SWIZZLE_G, GL_TEXTURE_SWIZZLE_B }) {
        glGetTexParameteriv(GL_TEXTURE_2D, swizzle, &value);
        EXPECT_EQ(value, GL_ONE);
    }
    // The space has an empty bitmap but still gets a complete texture.
    EXPECT_TRUE(glIsTexture(fontGen->glyphTextures[' ']));
    glBindTexture(GL_TEXTURE_2D, fontGen->glyphTextures[' ']);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(OverlayTest, TextLaysOutQuadsFromThePenInPixels)
{
    std::unique_ptr<TextLabel> empty(fontGen->createText("", glm::vec2(0.0f)));
    EXPECT_TRUE(empty->meshes.empty());

    // Pen at 65 px from the left edge and 55 px above the bottom of a 1280 x 720 window.
    const float penX = -0.8984375f;
    const float penY = -305.0f * static_cast<float>(2.0 / 720);
    EXPECT_NEAR(penY, -0.8472222f, 1e-6f);
    GlyphMetrics a = metricsOf(*fontGen, 'A');
    std::unique_ptr<TextLabel> label(fontGen->createText("AA", glm::vec2(-575.0f, -305.0f)));
    ASSERT_EQ(label->meshes.size(), 2u);
    EXPECT_EQ(label->text, "AA");
    std::vector<glm::vec3> first = positionsOf(*label->meshes[0]);
    const float unitX = static_cast<float>(2.0 / 1280);
    const float unitY = static_cast<float>(2.0 / 720);
    EXPECT_FLOAT_EQ(first[0].x, penX + a.left * unitX);
    EXPECT_FLOAT_EQ(first[0].y, penY + a.top * unitY);
    EXPECT_FLOAT_EQ(first[3].x, first[0].x + a.width * unitX);
    EXPECT_FLOAT_EQ(first[3].y, first[0].y - a.rows * unitY);
    EXPECT_EQ(label->meshes[0]->uvs, (std::vector<float> { 0, 0, 1, 0, 0, 1, 1, 1 }));
    EXPECT_EQ(label->meshes[0]->texture, fontGen->glyphTextures['A']);
    EXPECT_EQ(label->meshes[0]->textureUnit, 2);

    std::vector<glm::vec3> second = positionsOf(*label->meshes[1]);
    EXPECT_FLOAT_EQ(second[0].x - first[0].x, a.advance * unitX);
    EXPECT_FLOAT_EQ(second[0].y, first[0].y);

    // A space is a quad without area that still moves the pen on.
    GlyphMetrics space = metricsOf(*fontGen, ' ');
    std::unique_ptr<TextLabel> spaced(fontGen->createText("A A", glm::vec2(-575.0f, -305.0f)));
    ASSERT_EQ(spaced->meshes.size(), 3u);
    std::vector<glm::vec3> blank = positionsOf(*spaced->meshes[1]);
    EXPECT_EQ(blank[0].x, blank[3].x);
    EXPECT_NEAR(positionsOf(*spaced->meshes[2])[0].x - first[0].x, (a.advance + space.advance) * unitX, 1e-6f);
}

TEST_F(OverlayTest, HighBytesAreCharacterCodesOfTheFont)
{
    GlyphMetrics e = metricsOf(*fontGen, 0xE9);
    EXPECT_GT(e.width, 0);
    std::unique_ptr<TextLabel> label(fontGen->createText("\xE9", glm::vec2(0.0f)));
    ASSERT_EQ(label->meshes.size(), 1u);
    EXPECT_EQ(label->meshes[0]->texture, fontGen->glyphTextures[0xE9]);
    std::vector<glm::vec3> p = positionsOf(*label->meshes[0]);
    EXPECT_FLOAT_EQ(p[1].x - p[0].x, e.width * static_cast<float>(2.0 / 1280));
}

TEST_F(OverlayTest, TextInAnEmptyWindowStaysFinite)
{
    windowWidth = 0;
    windowHeight = 0;
    std::unique_ptr<TextLabel> label(fontGen->createText("x 12", glm::vec2(-575.0f, -338.0f)));
    ASSERT_EQ(label->meshes.size(), 4u);
    for (Mesh* mesh : label->meshes)
        EXPECT_TRUE(allFinite(*mesh));
}

TEST_F(OverlayTest, DrawnTextIsTintedWhereTheLabelLies)
{
    windowWidth = width;
    windowHeight = height;
    std::unique_ptr<TextLabel> label(fontGen->createText("HHH", glm::vec2(-100.0f, 0.0f)));
    fontShader->use();
    glUniform3f(glGetUniformLocation(fontShader->program, "color"), 1.0f, 0.5f, 0.0f);
    label->draw();

    // Baseline at the window centre, pen 100 px left of it; H is about 16 px tall at size 22.
    glm::u8vec4 lit = brightestIn(412, 384, 50, 16);
    EXPECT_GT(lit.r, 240);
    EXPECT_NEAR(lit.g, lit.r / 2, 3);
    EXPECT_EQ(lit.b, 0);
    EXPECT_EQ(brightestIn(412, 420, 100, 40), glm::u8vec4(0));
    EXPECT_EQ(brightestIn(412, 330, 100, 50), glm::u8vec4(0));
    EXPECT_EQ(brightestIn(300, 384, 100, 16), glm::u8vec4(0));
}

TEST_F(OverlayTest, DeletedLabelsLeaveNoGlObjects)
{
    std::vector<TextLabel*> labels;
    for (int i = 0; i < 20; ++i)
        labels.push_back(fontGen->createText("Hello", glm::vec2(0.0f, i * 10.0f)));
    std::vector<GLuint> vertexArrays;
    std::vector<GLuint> buffers;
    for (TextLabel* label : labels) {
        for (Mesh* mesh : label->meshes) {
            vertexArrays.push_back(mesh->vertexArray);
            buffers.insert(
                buffers.end(), { mesh->positionBuffer, mesh->normalBuffer, mesh->uvBuffer, mesh->indexBuffer });
        }
    }
    EXPECT_EQ(vertexArrays.size(), 100u);
    for (TextLabel* label : labels)
        delete label;
    for (GLuint name : vertexArrays)
        EXPECT_FALSE(glIsVertexArray(name)) << name;
    for (GLuint name : buffers)
        EXPECT_FALSE(glIsBuffer(name)) << name;
}

TEST_F(OverlayTest, LabelsAreLaidOutFromTheGlyphsAsFreeTypeRendersThem)
{
    // The layouts kept at start-up stand in for reloading each glyph: they must agree for every code.
    for (int c = 0; c < 256; ++c) {
        const GlyphLayout& kept = fontGen->glyphLayouts[c];
        bool loads = FT_Load_Char(fontGen->face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) == 0;
        ASSERT_EQ(kept.loaded, loads) << c;
        if (!loads)
            continue;
        FT_GlyphSlot g = fontGen->face->glyph;
        EXPECT_EQ(kept.left, g->bitmap_left) << c;
        EXPECT_EQ(kept.top, g->bitmap_top) << c;
        EXPECT_EQ(kept.width, g->bitmap.width) << c;
        EXPECT_EQ(kept.rows, g->bitmap.rows) << c;
        EXPECT_EQ(kept.advanceX, g->advance.x) << c;
        EXPECT_EQ(kept.advanceY, g->advance.y) << c;
    }
}
