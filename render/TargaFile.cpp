#include "render/TargaFile.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <algorithm>
#include <cstring>

namespace {
const size_t headerBytes = 18;
const size_t footerBytes = 26;

// Where the data that follows the image ends: at the extension or developer area when a
// version 2 footer points to them, before the footer otherwise.
size_t imageEnd(const unsigned char* data, size_t size, size_t imageStart)
{
    if (size < imageStart + footerBytes || std::memcmp(data + size - 18, "TRUEVISION-XFILE.", 18) != 0)
        return size;
    size_t end = size - footerBytes;
    for (size_t offset : { ByteOrder::little32(data + end), ByteOrder::little32(data + end + 4) }) {
        if (offset >= imageStart && offset < end)
            end = offset;
    }
    return end;
}
}

void TargaFile::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < headerBytes)
        return;
    size_t idBytes = data[0];
    size_t imageStart = headerBytes + idBytes;
    if (imageStart > size)
        return;
    picture.bytes.assign(data, data + headerBytes);
    picture.bytes[0] = 0;
    size_t end = imageEnd(data, size, imageStart);
    picture.bytes.insert(picture.bytes.end(), data + imageStart, data + end);
    picture.width = ByteOrder::little16(data + 12);
    picture.height = ByteOrder::little16(data + 14);
}
