#include "render/PictureHeader.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
// The size FreeImage's header-only load reads; 0 x 0 when it reads none.
void headerOnly(const PictureFile& picture, unsigned int& width, unsigned int& height)
{
    width = height = 0;
    FIMEMORY* memory
        = FreeImage_OpenMemory(const_cast<BYTE*>(picture.bytes.data()), static_cast<DWORD>(picture.bytes.size()));
    if (!memory)
        return;
    FIBITMAP* header
        = FreeImage_LoadFromMemory(static_cast<FREE_IMAGE_FORMAT>(picture.format), memory, FIF_LOAD_NOPIXELS);
    FreeImage_CloseMemory(memory);
    if (!header)
        return;
    width = FreeImage_GetWidth(header);
    height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
}

// The size in the header as the file format defines it, before any int can overflow; false
// where this reading has nothing to add to FreeImage's.
bool declared(const PictureFile& picture, std::int64_t& width, std::int64_t& height)
{
    const unsigned char* d = picture.bytes.data();
    size_t size = picture.bytes.size();
    switch (picture.format) {
    case FIF_BMP:
        if (size < 26)
            return false;
        if (ByteOrder::little32(d + 14) == 12) {
            width = ByteOrder::little16(d + 18);
            height = ByteOrder::little16(d + 20);
        } else {
            width = static_cast<std::int32_t>(ByteOrder::little32(d + 18));
            height = static_cast<std::int32_t>(ByteOrder::little32(d + 22));
            height = height < 0 ? -height : height; // top row first
        }
        return true;
    case FIF_RAS:
        if (size < 12)
            return false;
        width = ByteOrder::big32(d + 4);
        height = ByteOrder::big32(d + 8);
        return true;
    case FIF_PCX:
        if (size < 12)
            return false;
        width = std::int64_t(ByteOrder::little16(d + 8)) - ByteOrder::little16(d + 4) + 1;
        height = std::int64_t(ByteOrder::little16(d + 10)) - ByteOrder::little16(d + 6) + 1;
        return true;
    case FIF_XPM: {
        // The first string: width, height, colours, characters per pixel.
        std::string text(reinterpret_cast<const char*>(d), std::min<size_t>(size, 4096));
        size_t quote = text.find('"');
        unsigned int w = 0, h = 0;
        if (quote == std::string::npos || std::sscanf(text.c_str() + quote + 1, "%5u %5u", &w, &h) != 2)
            return false;
        width = w;
        height = h;
        return true;
    }
    default:
        return false;
    }
}
}

void PictureHeader::measure(PictureFile& picture)
{
    picture.width = picture.height = 0;
    if (picture.bytes.empty())
        return;
    unsigned int width = 0;
    unsigned int height = 0;
    headerOnly(picture, width, height);
    // Where the header's own numbers say otherwise, FreeImage has wrapped one of them round:
    // its decoder would then work from other numbers again.
    std::int64_t ownWidth = 0;
    std::int64_t ownHeight = 0;
    if (declared(picture, ownWidth, ownHeight) && (ownWidth != width || ownHeight != height))
        return;
    picture.width = width;
    picture.height = height;
}
