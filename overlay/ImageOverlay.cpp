#include "overlay/ImageOverlay.h"

#include "render/Mesh.h"

ImageOverlay::ImageOverlay(Shader* shader, GLuint texture, int textureUnit, int imageWidth, int imageHeight,
    int* windowWidth, int* windowHeight)
    : shader(shader)
    , texture(texture)
    , textureUnit(textureUnit)
    , windowWidth(windowWidth)
    , windowHeight(windowHeight)
    , imageWidth(imageWidth)
    , imageHeight(imageHeight)
{
    rebuild();
}

ImageOverlay::~ImageOverlay()
{
    delete mesh;
}

void ImageOverlay::rebuild()
{
    delete mesh;
    mesh = nullptr;

    // A minimised window reports a zero size; dividing by 1 instead keeps the quad finite
    // until the next real size arrives.
    float winW = *windowWidth > 0 ? static_cast<float>(*windowWidth) : 1.0f;
    float winH = *windowHeight > 0 ? static_cast<float>(*windowHeight) : 1.0f;
    // A picture that did not load has no size: it simply fills the window.
    float halfX = 1.0f;
    float halfY = 1.0f;
    if (imageWidth > 0 && imageHeight > 0) {
        float imgW = static_cast<float>(imageWidth);
        float imgH = static_cast<float>(imageHeight);
        float fitX = winW / imgW;
        float fitY = winH / imgH;
        float scale = fitX > fitY ? fitY : fitX;
        halfX = imgW * scale / winW;
        halfY = imgH * scale / winH;
    }

    const float positions[] = { -halfX, halfY, 0, halfX, halfY, 0, -halfX, -halfY, 0, halfX, -halfY, 0 };
    const float normals[] = { 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1 };
    // The first row of a loaded texture is the bottom of the picture.
    const float uvs[] = { 0, 1, 1, 1, 0, 0, 1, 0 };
    const unsigned int indices[] = { 0, 2, 1, 3 };
    mesh
        = new Mesh(shader, normals, uvs, positions, indices, 4, 4, texture, textureUnit, GL_TRIANGLE_STRIP, Material());
}

void ImageOverlay::draw()
{
    if (mesh)
        mesh->draw();
}
