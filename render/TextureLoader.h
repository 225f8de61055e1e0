// Turns picture files into GL textures and owns the two fallback textures made first (names 1
// and 2). Also decodes pictures into pixel arrays for code that needs the pixels, and makes the
// sampler objects of the debug HUD. A picture whose header declares more pixels than the
// caller's budget is refused before it is decoded.
#pragma once

#include "render/Picture.h"

#include <GL/glew.h>

#include <cstddef>
#include <string>

class TextureLoader {
public:
    TextureLoader();
    ~TextureLoader();
    TextureLoader(const TextureLoader&) = delete;
    TextureLoader& operator=(const TextureLoader&) = delete;

    // What one texture may cost: measured over the whole path (file, decoding, conversion,
    // upload with mipmaps), an 8192 x 4096 picture takes the game to 560 MB resident as a JPEG
    // and 810 MB as a floating-point RGBA TIFF, the deepest kind; 8192 x 8192 took it to 1 GB
    // as a JPEG.
    static constexpr size_t pictureBudget = 8192 * 4096;

    // A new texture on the given unit, or defaultTexture with a message when the file does not
    // load or declares more than maxPixels.
    GLuint loadTexture(
        const std::string& path, int unit, unsigned int& width, unsigned int& height, size_t maxPixels = pictureBudget);
    GLuint loadTexture(const std::string& path, int unit);
    // 32-bit BGRA pixels, bottom row first, or null. The pointer stays valid until the next
    // loadImage or releaseImage; callers copy the pixels right away.
    unsigned char* loadImage(
        const std::string& path, unsigned int& width, unsigned int& height, size_t maxPixels = pictureBudget);
    void releaseImage();

    GLuint createSampler(int unit, GLint minFilter, GLint magFilter);
    void setSamplerFilters(GLuint sampler, GLint minFilter, GLint magFilter);

    // Number of decoded pictures held by all loaders right now (0 or 1 each).
    static int livePictures();

    GLuint defaultTexture = 0;
    GLuint whiteTexture = 0;

private:
    Picture picture;
};
