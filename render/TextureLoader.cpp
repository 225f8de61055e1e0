#include "render/TextureLoader.h"

#include "render/PictureFile.h"
#include "render/SharedTextures.h"

#include <iostream>
#include <new>

TextureLoader::TextureLoader()
{
    defaultTexture = loadTexture("Resources/default.png", 0);
    whiteTexture = loadTexture("Resources/defaultWhite.png", 1);
    SharedTextures::add(defaultTexture);
    SharedTextures::add(whiteTexture);
}

TextureLoader::~TextureLoader()
{
    releaseImage();
}

GLuint TextureLoader::loadTexture(const std::string& path, int unit)
{
    unsigned int width = 0;
    unsigned int height = 0;
    return loadTexture(path, unit, width, height);
}

GLuint TextureLoader::loadTexture(
    const std::string& path, int unit, unsigned int& width, unsigned int& height, size_t maxPixels)
{
    unsigned char* pixels = loadImage(path, width, height, maxPixels);
    if (!pixels) {
        std::cout << "TextureLoader: Could not load Texture \"" << path << "\"" << std::endl;
        return defaultTexture;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
        GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    // The pixels are on the GPU now; nobody reads them again.
    releaseImage();
    return texture;
}

unsigned char* TextureLoader::loadImage(
    const std::string& path, unsigned int& width, unsigned int& height, size_t maxPixels)
{
    releaseImage();
    // A failed allocation costs this picture, not the game.
    try {
        return picture.decode(PictureFile::read(path), maxPixels, width, height);
    } catch (const std::bad_alloc&) {
        releaseImage();
        return nullptr;
    }
}

void TextureLoader::releaseImage()
{
    picture.release();
}

int TextureLoader::livePictures()
{
    return Picture::live();
}

GLuint TextureLoader::createSampler(int unit, GLint minFilter, GLint magFilter)
{
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magFilter);
    glBindSampler(static_cast<GLuint>(unit), sampler);
    return sampler;
}

void TextureLoader::setSamplerFilters(GLuint sampler, GLint minFilter, GLint magFilter)
{
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magFilter);
}
