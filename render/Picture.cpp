#include "render/Picture.h"

#include "render/PictureFile.h"

#include <FreeImage.h>

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

// A 32-bit BGRA standard bitmap, or null when FreeImage cannot convert the picture to one.
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

FIBITMAP* decodeFromMemory(const PictureFile& file)
{
    FREE_IMAGE_FORMAT format = file.format == PictureFile::Format::png ? FIF_PNG : FIF_JPEG;
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
    FIBITMAP* decoded = decodeFromMemory(file);
    decoded = decoded ? toBgra32(decoded) : nullptr;
    if (!decoded)
        return nullptr;

    width = FreeImage_GetWidth(decoded);
    height = FreeImage_GetHeight(decoded);
    bitmap = decoded;
    ++heldPictures;
    unsigned char* bits = FreeImage_GetBits(bitmap);
    // The decoder must have kept to the size the header declared.
    if (!bits || width == 0 || height == 0 || width != file.width || height != file.height) {
        release();
        return nullptr;
    }
    try {
        return packedRows(bits, width, height);
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
