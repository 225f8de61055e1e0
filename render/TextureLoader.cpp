#include "render/TextureLoader.h"

#include <FreeImage.h>

#include <cstring>
#include <iostream>

namespace {
// Larger sides are refused before decoding: no picture of the game comes near, and FreeImage
// misbehaves on huge dimensions.
const unsigned int maxSide = 16384;

int heldPictures = 0;

FREE_IMAGE_FORMAT formatOf(const std::string& path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    return format;
}

// Reads the header alone where the format allows it, so that a malformed file or an absurd
// size is refused before any pixel is decoded.
bool headerAcceptable(FREE_IMAGE_FORMAT format, const std::string& path)
{
    if (!FreeImage_FIFSupportsNoPixels(format))
        return true;
    FIBITMAP* header = FreeImage_Load(format, path.c_str(), FIF_LOAD_NOPIXELS);
    if (!header)
        return false;
    unsigned int width = FreeImage_GetWidth(header);
    unsigned int height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide;
}

// Replaces the picture by a 32-bit BGRA standard bitmap; null when FreeImage cannot convert it.
FIBITMAP* replaceBy(FIBITMAP* picture, FIBITMAP* converted)
{
    if (converted != picture)
        FreeImage_Unload(picture);
    return converted;
}

FIBITMAP* toBgra32(FIBITMAP* picture)
{
    switch (FreeImage_GetImageType(picture)) {
    case FIT_BITMAP:
        break;
    case FIT_UINT16:
        // The high byte of each grey sample, as an 8-bit grey picture.
        picture = replaceBy(picture, FreeImage_ConvertTo8Bits(picture));
        break;
    case FIT_RGB16:
    case FIT_RGBA16:
        picture = replaceBy(picture, FreeImage_ConvertTo32Bits(picture));
        break;
    default:
        picture = replaceBy(picture, FreeImage_ConvertToType(picture, FIT_BITMAP, TRUE));
        break;
    }
    if (picture && FreeImage_GetBPP(picture) != 32)
        picture = replaceBy(picture, FreeImage_ConvertTo32Bits(picture));
    if (picture && (FreeImage_GetImageType(picture) != FIT_BITMAP || FreeImage_GetBPP(picture) != 32)) {
        FreeImage_Unload(picture);
        return nullptr;
    }
    return picture;
}
}

TextureLoader::TextureLoader()
{
    defaultTexture = loadTexture("Resources/default.png", 0);
    whiteTexture = loadTexture("Resources/defaultWhite.png", 1);
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

GLuint TextureLoader::loadTexture(const std::string& path, int unit, unsigned int& width, unsigned int& height)
{
    unsigned char* pixels = loadImage(path, width, height);
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

unsigned char* TextureLoader::loadImage(const std::string& path, unsigned int& width, unsigned int& height)
{
    releaseImage();
    FREE_IMAGE_FORMAT format = formatOf(path);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format) || !headerAcceptable(format, path))
        return nullptr;
    FIBITMAP* decoded = FreeImage_Load(format, path.c_str(), 0);
    if (!decoded)
        return nullptr;
    decoded = toBgra32(decoded);
    if (!decoded)
        return nullptr;

    width = FreeImage_GetWidth(decoded);
    height = FreeImage_GetHeight(decoded);
    picture = decoded;
    ++heldPictures;
    unsigned char* bits = FreeImage_GetBits(picture);
    if (!bits || width == 0 || height == 0 || width > maxSide || height > maxSide) {
        releaseImage();
        return nullptr;
    }
    return packedRows(bits, width, height);
}

unsigned char* TextureLoader::packedRows(unsigned char* bits, unsigned int width, unsigned int height)
{
    // Readers step width * 4 bytes per row; repack should FreeImage ever pad the rows.
    size_t rowBytes = static_cast<size_t>(width) * 4;
    size_t pitch = FreeImage_GetPitch(picture);
    if (pitch == rowBytes)
        return bits;
    packed.resize(rowBytes * height);
    for (unsigned int row = 0; row < height; ++row)
        std::memcpy(packed.data() + row * rowBytes, bits + row * pitch, rowBytes);
    return packed.data();
}

void TextureLoader::releaseImage()
{
    if (!picture)
        return;
    FreeImage_Unload(picture);
    picture = nullptr;
    packed.clear();
    packed.shrink_to_fit();
    --heldPictures;
}

int TextureLoader::livePictures()
{
    return heldPictures;
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
