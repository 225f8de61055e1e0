#include "overlay/TextLabel.h"
#include "tests/hud/HudFixture.h"

#include <cstdio>

class DebugHudTest : public HudFixture {
protected:
    // Pixels of the HUD's text colour in the band of one line (baseline `offset` below the top).
    int textPixels(int offset, int columns = 420)
    {
        std::vector<unsigned char> band = readPixels(0, height - offset - 4, columns, 20);
        int count = 0;
        for (size_t i = 0; i < band.size(); i += 4)
            count += (band[i] > 200 && band[i + 1] > 200 && band[i + 2] > 200) ? 1 : 0;
        return count;
    }

    GLint samplerFilter(size_t index, GLenum which)
    {
        GLint value = 0;
        glGetSamplerParameteriv(hud->samplers[index], which, &value);
        return value;
    }
};

namespace {
const int lineOffsets[] = { 25, 47, 69, 91, 113, 135 };

std::string rate(float dt)
{
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %f", static_cast<float>(1.0 / static_cast<double>(dt)));
    return text;
}
}

TEST_F(DebugHudTest, HiddenAtStartF2ShowsTheSixLines)
{
    frame();
    // The room's ceiling lies behind the top left corner: dark enough for the light text.
    for (int offset : lineOffsets)
        EXPECT_EQ(textPixels(offset), 0) << "hidden at start, line " << offset;
    EXPECT_EQ(hud->fpsLine, "FPS: 0.0");
    char expected[64];
    std::snprintf(expected, sizeof expected, "Frustum Culling: %u Meshes drawn", scene->meshesDrawn);
    frame();
    EXPECT_EQ(hud->frustumLine, expected) << "rebuilt from the first update on";

    tap(GLFW_KEY_F2);
    EXPECT_TRUE(hud->settings.hudVisible);
    for (int offset : lineOffsets)
        EXPECT_GT(textPixels(offset), 30) << "line " << offset << " is drawn";
    EXPECT_EQ(hud->wireOffText->meshes.size(), std::string("Wire-Frame-Mode: Off").size());
    EXPECT_EQ(hud->samplers.size(), 3u);
    for (GLenum unit : { 0u, 1u, 3u }) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = 0;
        glGetIntegerv(GL_SAMPLER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), hud->samplers[unit == 3 ? 2 : unit]) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE2);
    GLint glyphs = -1;
    glGetIntegerv(GL_SAMPLER_BINDING, &glyphs);
    EXPECT_EQ(glyphs, 0) << "the glyph unit keeps the textures' own filtering";
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(samplerFilter(0, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);

    tap(GLFW_KEY_F2);
    for (int offset : lineOffsets)
        EXPECT_EQ(textPixels(offset), 0) << "hidden again, line " << offset;
}

TEST_F(DebugHudTest, FrameRateLineEveryTenthOfASecond)
{
    hud->update(0.016f);
    for (int i = 2; i <= 6; ++i) {
        hud->update(0.016f);
        EXPECT_EQ(hud->fpsLine, "FPS: 0.0") << "update " << i;
    }
    hud->update(0.016f);
    // 1 / 0.016 as the 32-bit frame time gives it; a frame of 1/64 s shows 64 exactly.
    EXPECT_EQ(hud->fpsLine, rate(0.016f)) << "the seventh frame passes 0.1 s";
    EXPECT_EQ(rate(0.016f).substr(0, 9), "FPS: 62.4");
    for (int i = 0; i < 6; ++i)
        hud->update(0.015625f);
    EXPECT_EQ(hud->fpsLine, rate(0.016f)) << "the timer restarts at 0.1, the overshoot dropped";
    hud->update(0.015625f);
    EXPECT_EQ(hud->fpsLine, "FPS: 64.000000");
    hud->update(0.25f);
    EXPECT_EQ(hud->fpsLine, "FPS: 4.000000") << "a slow frame shows at once";
}

TEST_F(DebugHudTest, SamplingAndMipKeysFollowTheFilterTable)
{
    frame();
    struct Row {
        int sampling;
        int mip;
        GLint min;
        GLint mag;
    };
    const Row table[] = {
        { 1, 0, GL_NEAREST, GL_NEAREST },
        { 1, 1, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST },
        { 1, 2, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST },
        { 0, 0, GL_LINEAR, GL_LINEAR },
        { 0, 1, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR },
        { 0, 2, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR },
    };
    for (const Row& row : table) {
        while (hud->settings.samplingMode != row.sampling)
            tap(GLFW_KEY_F4);
        while (hud->settings.mipMode != row.mip)
            tap(GLFW_KEY_F5);
        for (size_t s = 0; s < 3; ++s) {
            EXPECT_EQ(samplerFilter(s, GL_TEXTURE_MIN_FILTER), row.min) << row.sampling << row.mip;
            EXPECT_EQ(samplerFilter(s, GL_TEXTURE_MAG_FILTER), row.mag) << row.sampling << row.mip;
        }
    }
    EXPECT_EQ(hud->settings.mipMode, 2);
    for (int i = 0; i < 3; ++i)
        tap(GLFW_KEY_F5);
    EXPECT_EQ(hud->settings.mipMode, 2) << "F5 three times returns to linear";
    tap(GLFW_KEY_F4);
    tap(GLFW_KEY_F4);
    EXPECT_EQ(hud->settings.samplingMode, 0) << "F4 twice returns to bilinear";
}

TEST_F(DebugHudTest, CullingSwitchShowsOffAndTheCountAgain)
{
    frame();
    tap(GLFW_KEY_F9);
    EXPECT_FALSE(scene->camera->cullingEnabled);
    EXPECT_EQ(hud->frustumLine, "Frustum Culling: Off");
    frame();
    EXPECT_EQ(hud->frustumLine, "Frustum Culling: Off") << "not rebuilt while off";
    unsigned int all = scene->meshesDrawn;
    tap(GLFW_KEY_F9);
    EXPECT_TRUE(scene->camera->cullingEnabled);
    EXPECT_EQ(hud->frustumLine, "Frustum Culling: " + std::to_string(all) + " Meshes drawn")
        << "from the same frame on";
    frame();
    EXPECT_LE(scene->meshesDrawn, all) << "culling draws no more than everything";
}

TEST_F(DebugHudTest, WireFrameDrawsTheSceneAsLinesAndTheTextFilled)
{
    tap(GLFW_KEY_F2);
    frame();
    auto darkPixels = [&] {
        std::vector<unsigned char> picture = readPixels(0, 0, width, height / 2);
        int dark = 0;
        for (size_t i = 0; i < picture.size(); i += 4)
            dark += (picture[i] + picture[i + 1] + picture[i + 2] < 30) ? 1 : 0;
        return dark;
    };
    int filledDark = darkPixels();
    int filledText = textPixels(47, 200) + textPixels(69);

    tap(GLFW_KEY_F3);
    frame();
    GLint mode[2] = { 0, 0 };
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE) << "wire-frame stays on for the next frame";
    EXPECT_GT(darkPixels(), filledDark + width * height / 8) << "the floor is drawn as lines";
    EXPECT_GT(textPixels(69), filledText / 2) << "the HUD text is still filled";
    EXPECT_GT(textPixels(47, 200), 30) << "Wire-Frame-Mode: On";

    tap(GLFW_KEY_F8);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_GT(textPixels(113), 30) << "drawn blended even with transparency off";
    tap(GLFW_KEY_F8);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    tap(GLFW_KEY_F3);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
}

TEST_F(DebugHudTest, HoursOfFramesLeaveObjectsAndMemoryFlat)
{
    tap(GLFW_KEY_F2);
    for (int i = 0; i < 50; ++i)
        hud->update(0.05f);
    int buffers = liveBuffers();
    int arrays = liveVertexArrays();
    int textures = liveTextures();
    long resident = residentKilobytes();
    for (int i = 0; i < 2000; ++i)
        hud->update(0.05f);
    EXPECT_EQ(liveBuffers(), buffers) << "every replaced line is deleted";
    EXPECT_EQ(liveVertexArrays(), arrays);
    EXPECT_EQ(liveTextures(), textures);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer's quarantine keeps freed memory, so resident size means nothing there.
    EXPECT_LT(residentKilobytes() - resident, 2048) << "resident memory stays flat";
#else
    (void)resident;
#endif
}

TEST_F(DebugHudTest, MinimisingAndResizingKeepAWholePicture)
{
    tap(GLFW_KEY_F2);
    hud->settings.fpsTimer = 1000.0f;
    frame();
    std::vector<unsigned char> before = readPixels(0, 0, width, height);

    auto resize = [&](int w, int h) {
        windowWidth = w;
        windowHeight = h;
        glViewport(0, 0, w, h);
        scene->onResize();
    };
    resize(0, 0);
    frames(3);
    resize(800, 600);
    frames(2);
    GLint size[2] = { 0, 0 };
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, scene->shadowTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(size[0], 800);
    EXPECT_EQ(size[1], 600);
    resize(0, 0);
    frames(2);
    resize(width, height);
    frames(2);
    EXPECT_TRUE(before == readPixels(0, 0, width, height)) << "restored, the picture is the one before";
}
