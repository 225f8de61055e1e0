// Turns picture files into GL textures through FreeImage and owns the two fallback textures
// made first (names 1 and 2). Also decodes pictures into pixel arrays for code that needs the
// pixels, and makes the sampler objects of the debug HUD.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

struct FIBITMAP;

class TextureLoader {
public:
    TextureLoader();
    ~TextureLoader();
    TextureLoader(const TextureLoader&) = delete;
    TextureLoader& operator=(const TextureLoader&) = delete;

    // A new texture on the given unit, or defaultTexture with a message when the file does not load.
    GLuint loadTexture(const std::string& path, int unit, unsigned int& width, unsigned int& height);
    GLuint loadTexture(const std::string& path, int unit);
    // 32-bit BGRA pixels, bottom row first, or null. The pointer stays valid until the next
    // loadImage or releaseImage; callers copy the pixels right away.
    unsigned char* loadImage(const std::string& path, unsigned int& width, unsigned int& height);
    void releaseImage();

    GLuint createSampler(int unit, GLint minFilter, GLint magFilter);
    void setSamplerFilters(GLuint sampler, GLint minFilter, GLint magFilter);

    // Number of decoded pictures held by all loaders right now (0 or 1 each).
    static int livePictures();

    GLuint defaultTexture = 0;
    GLuint whiteTexture = 0;

private:
    unsigned char* packedRows(unsigned char* bits, unsigned int width, unsigned int height);

    FIBITMAP* picture = nullptr;
    // Rows without padding, used only should the decoded rows carry a gap.
    std::vector<unsigned char> packed;
};
