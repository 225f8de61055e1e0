#include "render/IconDirectory.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"
#include "render/PngStream.h"

#include <algorithm>
#include <cstdint>

namespace {
const size_t directoryBytes = 6;
const size_t entryBytes = 16;

// FreeImage's icon reader copies rows as long as the header's depth makes them: only the
// depths a bitmap can have, uncompressed, with at most a full palette, are handed to it.
bool bitmapUsable(const unsigned char* image, size_t length)
{
    if (length < 40 || ByteOrder::little32(image) < 40)
        return false;
    unsigned int planes = ByteOrder::little16(image + 12);
    unsigned int bits = ByteOrder::little16(image + 14);
    unsigned int compression = ByteOrder::little32(image + 16);
    unsigned int colours = ByteOrder::little32(image + 32);
    bool depth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return planes <= 1 && depth && compression == 0 && colours <= 256;
}
}

void IconDirectory::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    // Directory: reserved, type (1 icon, 2 cursor), count; then entries: width, height,
    // colours, reserved, planes, bits, bytes, offset.
    if (size < directoryBytes + entryBytes || ByteOrder::little16(data + 4) == 0)
        return;
    const unsigned char* entry = data + directoryBytes;
    size_t offset = ByteOrder::little32(entry + 12);
    if (offset >= size)
        return;
    size_t length = std::min<size_t>(ByteOrder::little32(entry + 8), size - offset);
    const unsigned char* image = data + offset;

    PictureFile inner;
    if (PngStream::startsPng(image, length)) {
        PngStream::keep(image, length, inner);
    } else if (bitmapUsable(image, length)) {
        // The bitmap header's height counts the colour rows and the mask rows together.
        auto width = static_cast<std::int32_t>(ByteOrder::little32(image + 4));
        auto height = static_cast<std::int32_t>(ByteOrder::little32(image + 8));
        if (width > 0 && height > 1) {
            inner.width = static_cast<unsigned int>(width);
            inner.height = static_cast<unsigned int>(height / 2);
            inner.bytes.assign(image, image + length);
        }
    }
    if (inner.width == 0 || inner.height == 0)
        return;
    picture.bytes.assign(data, data + directoryBytes + entryBytes);
    picture.bytes[4] = 1;
    picture.bytes[5] = 0;
    std::vector<unsigned char> sizes;
    ByteOrder::putLittle32(sizes, static_cast<std::uint32_t>(inner.bytes.size()));
    ByteOrder::putLittle32(sizes, static_cast<std::uint32_t>(directoryBytes + entryBytes));
    std::copy(sizes.begin(), sizes.end(), picture.bytes.begin() + directoryBytes + 8);
    picture.bytes.insert(picture.bytes.end(), inner.bytes.begin(), inner.bytes.end());
    picture.width = inner.width;
    picture.height = inner.height;
}
