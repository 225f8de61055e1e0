#include "render/SunRaster.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"
#include "render/PictureHeader.h"

#include <algorithm>

namespace {
// Header: magic, width, height, depth, length, type, map type, map length; 32 bits each, big end first.
const size_t headerBytes = 32;
const size_t depthAt = 12;
const size_t mapTypeAt = 24;
const size_t mapLengthAt = 28;
// A map of red, green and blue tables, which FreeImage reads into the palette.
const unsigned int rgbMap = 1;
}

void SunRaster::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    // FreeImage reads a header cut short with the missing fields as it finds them: the same crash.
    if (size < headerBytes)
        return;
    picture.bytes.assign(data, data + size);
    if (ByteOrder::big32(data + depthAt) == 24 && ByteOrder::big32(data + mapTypeAt) == rgbMap) {
        size_t mapEnd = headerBytes + std::min<size_t>(ByteOrder::big32(data + mapLengthAt), size - headerBytes);
        picture.bytes.erase(picture.bytes.begin() + headerBytes, picture.bytes.begin() + mapEnd);
        std::fill(picture.bytes.begin() + mapTypeAt, picture.bytes.begin() + headerBytes, 0);
    }
    PictureHeader::measure(picture);
}
