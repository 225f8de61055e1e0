#include "render/Picture.h"

#include "render/PictureFile.h"

#include <FreeImage.h>

#include <cmath>
#include <cstring>
#include <new>

namespace {
int heldPictures = 0;

// Replaces the picture by its conversion; null when FreeImage could not convert it.
FIBITMAP* replaceBy(FIBITMAP* picture, FIBITMAP* converted)
{
    if (converted != picture)
        FreeImage_Unload(picture);
    return converted;
}

// Linear light in 0..1 to an sRGB byte, as a picture viewer shows floating-point pictures.
BYTE encoded(float linear, bool isAlpha)
{
    float v = linear > 0.0f ? (linear < 1.0f ? linear : 1.0f) : 0.0f; // NaN becomes 0
    if (!isAlpha)
        v = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
    return static_cast<BYTE>(v * 255.0f + 0.5f);
}

// FreeImage converts floating-point colour pictures only by tone mapping, which loses alpha:
// each channel is clamped and encoded instead.
FIBITMAP* floatsToBgra32(FIBITMAP* picture)
{
    bool withAlpha = FreeImage_GetImageType(picture) == FIT_RGBAF;
    unsigned int width = FreeImage_GetWidth(picture);
    unsigned int height = FreeImage_GetHeight(picture);
    FIBITMAP* converted = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32);
    for (unsigned int y = 0; converted && y < height; ++y) {
        const float* from = reinterpret_cast<const float*>(FreeImage_GetScanLine(picture, static_cast<int>(y)));
        BYTE* to = FreeImage_GetScanLine(converted, static_cast<int>(y));
        for (unsigned int x = 0; x < width; ++x, from += withAlpha ? 4 : 3, to += 4) {
            to[FI_RGBA_RED] = encoded(from[0], false);
            to[FI_RGBA_GREEN] = encoded(from[1], false);
            to[FI_RGBA_BLUE] = encoded(from[2], false);
            to[FI_RGBA_ALPHA] = withAlpha ? encoded(from[3], true) : 255;
        }
    }
    FreeImage_Unload(picture);
    return converted;
}

// A 32-bit BGRA standard bitmap, or null when FreeImage cannot convert the picture to one.
FIBITMAP* toBgra32(FIBITMAP* picture)
{
    switch (FreeImage_GetImageType(picture)) {
    case FIT_RGBF:
    case FIT_RGBAF:
        return floatsToBgra32(picture);
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

FIBITMAP* decodeFromMemory(const PictureFile& file)
{
    FREE_IMAGE_FORMAT format = static_cast<FREE_IMAGE_FORMAT>(file.format);
    FIMEMORY* memory
        = FreeImage_OpenMemory(const_cast<BYTE*>(file.bytes.data()), static_cast<DWORD>(file.bytes.size()));
    if (!memory)
        return nullptr;
    FIBITMAP* decoded = FreeImage_LoadFromMemory(format, memory, 0);
    FreeImage_CloseMemory(memory);
    return decoded;
}
}

Picture::~Picture()
{
    release();
}

unsigned char* Picture::decode(const PictureFile& file, size_t maxPixels, unsigned int& width, unsigned int& height)
{
    release();
    if (!file.fits(maxPixels))
        return nullptr;
    unsigned int decodedWidth = 0;
    unsigned int decodedHeight = 0;
    unsigned char* pixels = adopt(decodeFromMemory(file), decodedWidth, decodedHeight);
    // The decoder must have kept within the size the header declared (compressed DDS pictures
    // decode to whole blocks of four, a little smaller).
    if (pixels && (decodedWidth > file.width || decodedHeight > file.height)) {
        release();
        return nullptr;
    }
    if (pixels) {
        width = decodedWidth;
        height = decodedHeight;
    }
    return pixels;
}

unsigned char* Picture::adopt(FIBITMAP* decoded, unsigned int& width, unsigned int& height)
{
    release();
    decoded = decoded ? toBgra32(decoded) : nullptr;
    if (!decoded)
        return nullptr;
    bitmap = decoded;
    ++heldPictures;
    unsigned int decodedWidth = FreeImage_GetWidth(bitmap);
    unsigned int decodedHeight = FreeImage_GetHeight(bitmap);
    unsigned char* bits = FreeImage_GetBits(bitmap);
    if (!bits || decodedWidth == 0 || decodedHeight == 0) {
        release();
        return nullptr;
    }
    try {
        unsigned char* pixels = packedRows(bits, decodedWidth, decodedHeight);
        width = decodedWidth;
        height = decodedHeight;
        return pixels;
    } catch (const std::bad_alloc&) {
        release();
        return nullptr;
    }
}

unsigned char* Picture::packedRows(unsigned char* bits, unsigned int width, unsigned int height)
{
    // Readers step width * 4 bytes per row; repack should FreeImage ever pad the rows.
    size_t rowBytes = static_cast<size_t>(width) * 4;
    size_t pitch = FreeImage_GetPitch(bitmap);
    if (pitch == rowBytes)
        return bits;
    packed.resize(rowBytes * height);
    for (unsigned int row = 0; row < height; ++row)
        std::memcpy(packed.data() + row * rowBytes, bits + row * pitch, rowBytes);
    return packed.data();
}

void Picture::release()
{
    if (!bitmap)
        return;
    FreeImage_Unload(bitmap);
    bitmap = nullptr;
    packed.clear();
    packed.shrink_to_fit();
    --heldPictures;
}

int Picture::live()
{
    return heldPictures;
}
