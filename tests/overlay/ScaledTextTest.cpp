// Labels drawn in a window of another size than the one they were built for, as the debug
// display's are after a resize: read back and compared with FreeType's bitmaps scaled onto
// their quads.
#include "overlay/FontGen.h"
#include "overlay/TextLabel.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "tests/overlay/OverlayFixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {
// The red channel, 0 to 1 and rows bottom first, of a label drawn in white over mid grey into
// a window of the given size, which may be larger than the test window.
std::vector<float> drawnAt(glm::ivec2 size, TextLabel& label, Shader& shader)
{
    GLuint framebuffer = 0, buffers[2] = { 0, 0 };
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(2, buffers);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    for (int i = 0; i < 2; ++i) {
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[i]);
        glRenderbufferStorage(GL_RENDERBUFFER, i == 0 ? GL_RGBA8 : GL_DEPTH_COMPONENT24, size.x, size.y);
        glFramebufferRenderbuffer(
            GL_FRAMEBUFFER, i == 0 ? GL_COLOR_ATTACHMENT0 : GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[i]);
    }
    glViewport(0, 0, size.x, size.y);
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    shader.use();
    glUniform3f(glGetUniformLocation(shader.program, "color"), 1.0f, 1.0f, 1.0f);
    label.draw();
    std::vector<unsigned char> rgba(static_cast<size_t>(size.x) * size.y * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size.x, size.y, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, GlTest::width, GlTest::height);
    glDeleteRenderbuffers(2, buffers);
    glDeleteFramebuffers(1, &framebuffer);
    std::vector<float> red(rgba.size() / 4);
    for (size_t i = 0; i < red.size(); ++i)
        red[i] = rgba[i * 4] / 255.0f;
    return red;
}

// FreeType's bitmap of a character, sampled at (u, v) of its quad (v down from the top row) as
// a linearly filtered, edge-clamped texture.
std::function<float(float, float)> bitmapOf(FontGen& font, unsigned char c)
{
    EXPECT_EQ(FT_Load_Char(font.face, c, FT_LOAD_RENDER), 0);
    const FT_Bitmap& b = font.face->glyph->bitmap;
    EXPECT_EQ(b.pixel_mode, FT_PIXEL_MODE_GRAY);
    int w = static_cast<int>(b.width), h = static_cast<int>(b.rows);
    std::vector<float> cover;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            cover.push_back(b.buffer[y * b.pitch + x] / 255.0f);
    auto texel = [=](int x, int y) { return cover[std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1)]; };
    return [=](float u, float v) {
        float x = u * w - 0.5f, y = v * h - 0.5f;
        int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        float fx = x - x0, fy = y - y0;
        return (texel(x0, y0) * (1 - fx) + texel(x0 + 1, y0) * fx) * (1 - fy)
            + (texel(x0, y0 + 1) * (1 - fx) + texel(x0 + 1, y0 + 1) * fx) * fy;
    };
}
}

TEST_F(OverlayTest, ALabelFillsItsQuadsWithItsEdgeWhenTheWindowShrinksOrGrows)
{
    // Built for 1024 x 768, far from the centre as the debug display's lines are; the glyphs
    // apart, so that each one's surroundings are its own.
    windowWidth = 1024;
    windowHeight = 768;
    const std::string text = "W  g  @  j  Q  5  f  i";
    std::unique_ptr<TextLabel> label(fontGen->createText(text, glm::vec2(-502.0f, 300.0f)));
    ASSERT_EQ(label->meshes.size(), text.size());
    for (glm::ivec2 size : { glm::ivec2(1024, 768), glm::ivec2(640, 480), glm::ivec2(2048, 1536) }) {
        std::vector<float> red = drawnAt(size, *label, *fontShader);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ')
                continue;
            auto bitmap = bitmapOf(*fontGen, static_cast<unsigned char>(text[i]));
            std::vector<glm::vec3> p = positionsOf(*label->meshes[i]);
            glm::vec2 topLeft = (glm::vec2(p[0]) + 1.0f) / 2.0f * glm::vec2(size);
            glm::vec2 bottomRight = (glm::vec2(p[3]) + 1.0f) / 2.0f * glm::vec2(size);
            // The bitmap's coverage at a pixel, -1 outside the quad.
            auto expected = [&](int x, int y) {
                glm::vec2 uv = (glm::vec2(x, y) + 0.5f - topLeft) / (bottomRight - topLeft);
                bool inQuad = uv.x >= 0 && uv.x <= 1 && uv.y >= 0 && uv.y <= 1;
                return inQuad ? bitmap(uv.x, uv.y) : -1.0f;
            };
            // White over grey: inside the quad between the coverage over the edge and over the
            // grey; outside nothing brighter than the grey; beside well covered pixels, dark.
            int inside = 0, wrong = 0, litOutside = 0, rim = 0, darkRim = 0;
            for (int y = static_cast<int>(bottomRight.y) - 4; y <= static_cast<int>(topLeft.y) + 4; ++y)
                for (int x = static_cast<int>(topLeft.x) - 4; x <= static_cast<int>(bottomRight.x) + 4; ++x) {
                    float drawn = red[static_cast<size_t>(y) * size.x + x];
                    float own = expected(x, y);
                    inside += own >= 0 ? 1 : 0;
                    wrong += own >= 0 && (drawn < own - 0.1f || drawn > own + (1 - own) / 2 + 0.1f) ? 1 : 0;
                    litOutside += own < 0 && drawn > 0.5f + 2 / 255.0f ? 1 : 0;
                    float beside
                        = std::max({ expected(x - 1, y), expected(x + 1, y), expected(x, y - 1), expected(x, y + 1) });
                    bool rimPixel = own < 0.05f && beside >= 0.75f;
                    rim += rimPixel ? 1 : 0;
                    darkRim += rimPixel && drawn < 0.25f ? 1 : 0;
                }
            std::string where
                = "'" + text.substr(i, 1) + "' at " + std::to_string(size.x) + " x " + std::to_string(size.y);
            EXPECT_GT(inside, 20) << where;
            EXPECT_EQ(wrong, 0) << where << ": the glyph as its bitmap says, scaled to its quad";
            EXPECT_EQ(litOutside, 0) << where << ": nothing of the glyph beyond its quad";
            EXPECT_GE(darkRim, rim * 9 / 10) << where << ": its dark edge around it";
        }
    }
}
