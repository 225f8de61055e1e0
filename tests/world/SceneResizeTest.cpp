#include "render/Camera.h"
#include "tests/world/SceneFixture.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace {
glm::ivec2 textureSize(GLuint texture)
{
    GLint w = 0;
    GLint h = 0;
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    return glm::ivec2(w, h);
}

bool finite(const glm::mat4& m)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

GLint textureParameter(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}
}

class SceneResizeTest : public SceneFixture {
protected:
    // What the window-size callback does: the new size, the viewport, then the scene.
    void resize(int w, int h)
    {
        windowWidth = w;
        windowHeight = h;
        glViewport(0, 0, w, h);
        scene->onResize();
    }

    void TearDown() override
    {
        glViewport(0, 0, width, height);
        SceneFixture::TearDown();
    }
};

TEST_F(SceneResizeTest, TheShadowMapIsADepthTextureOfTheWindowSizeInAFramebufferOfItsOwn)
{
    EXPECT_EQ(textureSize(scene->shadowTexture), glm::ivec2(width, height));
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT32F);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);

    glBindFramebuffer(GL_FRAMEBUFFER, scene->shadowFramebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint attached = 0;
    glGetFramebufferAttachmentParameteriv(
        GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(static_cast<GLuint>(attached), scene->shadowTexture);
    GLint drawBuffer = 0;
    GLint readBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    EXPECT_EQ(drawBuffer, GL_NONE);
    EXPECT_EQ(readBuffer, GL_NONE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(SceneResizeTest, AResizeReplacesTheShadowMapWithOneOfTheNewSize)
{
    GLuint oldTexture = scene->shadowTexture;
    GLuint oldFramebuffer = scene->shadowFramebuffer;
    testing::internal::CaptureStdout();
    resize(640, 480);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("error creating fbo"), std::string::npos) << output;
    EXPECT_EQ(textureSize(scene->shadowTexture), glm::ivec2(640, 480));
    // GL may hand a deleted name out again; a name in use again is the new object.
    if (scene->shadowTexture != oldTexture) {
        EXPECT_FALSE(glIsTexture(oldTexture)) << "the old shadow texture is deleted";
    }
    if (scene->shadowFramebuffer != oldFramebuffer) {
        EXPECT_FALSE(glIsFramebuffer(oldFramebuffer)) << "the old framebuffer is deleted";
    }
    EXPECT_TRUE(glIsFramebuffer(scene->shadowFramebuffer));
    const glm::mat4& projection = scene->camera->projection;
    EXPECT_FLOAT_EQ(projection[1][1] / projection[0][0], 640.0f / 480.0f) << "the projection has the new aspect";

    // Only the new pair is live: another resize finds exactly these two to delete.
    GLuint texture = scene->shadowTexture;
    GLuint framebuffer = scene->shadowFramebuffer;
    resize(800, 600);
    EXPECT_EQ(textureSize(scene->shadowTexture), glm::ivec2(800, 600));
    if (scene->shadowTexture != texture) {
        EXPECT_FALSE(glIsTexture(texture));
    }
    if (scene->shadowFramebuffer != framebuffer) {
        EXPECT_FALSE(glIsFramebuffer(framebuffer));
    }
    drawFrame();
    EXPECT_EQ(glErrors(), "");
    EXPECT_NE(pixelAt(400, 450), std::vector<unsigned char>({ 0, 0, 0, 0 })) << "the room at the new size";
}

TEST_F(SceneResizeTest, AMinimisedWindowKeepsTheSceneUsableUntilTheNextRealSize)
{
    drawFrame();
    std::vector<unsigned char> before = readPixels(0, 0, width, height);
    GLuint texture = scene->shadowTexture;
    glm::mat4 projection = scene->camera->projection;

    resize(0, 0);
    EXPECT_EQ(scene->shadowTexture, texture) << "nothing is rebuilt for a window without area";
    EXPECT_EQ(textureSize(texture), glm::ivec2(width, height));
    EXPECT_TRUE(finite(scene->camera->projection));
    EXPECT_EQ(scene->camera->projection, projection);
    drawFrame();
    resize(width, 0);
    drawFrame();
    EXPECT_EQ(glErrors(), "") << "frames of a minimised window draw nothing and fail nothing";

    resize(width, height);
    EXPECT_EQ(textureSize(scene->shadowTexture), glm::ivec2(width, height));
    EXPECT_TRUE(finite(scene->camera->projection));
    drawFrame();
    EXPECT_TRUE(readPixels(0, 0, width, height) == before) << "the same view as before the minimising";
}
