#include "overlay/ImageOverlay.h"
#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/TextureLoader.h"
#include "tests/overlay/OverlayFixture.h"

namespace {
// Half width and half height of the overlay's quad, from its top right vertex.
glm::vec2 halfSize(const ImageOverlay& overlay)
{
    std::vector<glm::vec3> p = positionsOf(*overlay.mesh);
    return glm::vec2(p[1].x, p[1].y);
}
}

TEST_F(OverlayTest, OverlayFitsPicturesIntoTheWindowKeepingTheirAspect)
{
    ImageOverlay wide(orthoShader, loader->defaultTexture, 1, 1920, 1080, &windowWidth, &windowHeight);
    EXPECT_EQ(halfSize(wide), glm::vec2(1.0f, 1.0f));
    ImageOverlay square(orthoShader, loader->defaultTexture, 1, 1024, 1024, &windowWidth, &windowHeight);
    EXPECT_FLOAT_EQ(halfSize(square).x, 0.5625f);
    EXPECT_FLOAT_EQ(halfSize(square).y, 1.0f);
    ImageOverlay strip(orthoShader, loader->defaultTexture, 1, 400, 90, &windowWidth, &windowHeight);
    EXPECT_FLOAT_EQ(halfSize(strip).x, 1.0f);
    EXPECT_FLOAT_EQ(halfSize(strip).y, 0.4f);

    std::vector<glm::vec3> p = positionsOf(*square.mesh);
    EXPECT_EQ(p[0], glm::vec3(-0.5625f, 1.0f, 0.0f));
    EXPECT_EQ(p[2], glm::vec3(-0.5625f, -1.0f, 0.0f));
    EXPECT_EQ(p[3], glm::vec3(0.5625f, -1.0f, 0.0f));
    EXPECT_EQ(square.mesh->uvs, (std::vector<float> { 0, 1, 1, 1, 0, 0, 1, 0 }));
    EXPECT_EQ(square.mesh->drawMode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
    EXPECT_EQ(square.mesh->textureUnit, 1);

    // The overlay reads the live size: a portrait window now bounds the square by its width.
    windowWidth = 720;
    windowHeight = 1280;
    square.rebuild();
    EXPECT_FLOAT_EQ(halfSize(square).x, 1.0f);
    EXPECT_FLOAT_EQ(halfSize(square).y, 0.5625f);
}

TEST_F(OverlayTest, OverlayStaysFiniteForEmptyWindowsAndPictures)
{
    windowWidth = 0;
    windowHeight = 0;
    ImageOverlay overlay(orthoShader, loader->defaultTexture, 1, 1024, 1024, &windowWidth, &windowHeight);
    EXPECT_TRUE(allFinite(*overlay.mesh));
    windowWidth = 1280;
    windowHeight = 720;
    overlay.rebuild();
    EXPECT_FLOAT_EQ(halfSize(overlay).x, 0.5625f);

    // A picture that did not load has no size and fills the window.
    ImageOverlay failed(orthoShader, loader->defaultTexture, 1, 0, 0, &windowWidth, &windowHeight);
    EXPECT_EQ(halfSize(failed), glm::vec2(1.0f, 1.0f));
    windowHeight = 0;
    failed.rebuild();
    EXPECT_TRUE(allFinite(*failed.mesh));
}

TEST_F(OverlayTest, OverlayDrawsThePictureUprightAndCentred)
{
    unsigned int w = 0;
    unsigned int h = 0;
    GLuint texture = loader->loadTexture("Resources/target.png", 1, w, h);
    windowWidth = width;
    windowHeight = height;
    ImageOverlay overlay(
        orthoShader, texture, 1, static_cast<int>(w), static_cast<int>(h), &windowWidth, &windowHeight);
    orthoShader->use();
    overlay.draw();

    // 768 px square in a 1024 x 768 window: x from 128 to 896.
    EXPECT_EQ(colourAt(320, 192), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(colourAt(704, 192), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(colourAt(320, 576), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(colourAt(704, 576), glm::u8vec4(255, 255, 0, 255));
    EXPECT_EQ(colourAt(60, 384), glm::u8vec4(0, 0, 0, 0));
    EXPECT_EQ(colourAt(960, 384), glm::u8vec4(0, 0, 0, 0));
    glDeleteTextures(1, &texture);
}
