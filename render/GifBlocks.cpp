#include "render/GifBlocks.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <cstring>

namespace {
size_t colourTableBytes(unsigned char packed)
{
    return (packed & 0x80) ? 3u << ((packed & 0x07) + 1) : 0;
}

// The end of a chain of sub-blocks (each a length byte and that many bytes, a zero length
// ends it), or 0 when the file ends first.
size_t subBlocksEnd(const unsigned char* data, size_t size, size_t at)
{
    while (at < size) {
        size_t length = data[at];
        if (length == 0)
            return at + 1;
        at += 1 + length;
    }
    return 0;
}
}

void GifBlocks::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < 13 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
        return;
    size_t at = 13 + colourTableBytes(data[10]);
    if (at > size)
        return;
    std::vector<unsigned char> out(data, data + at);
    size_t control = 0;
    size_t controlEnd = 0; // 0: no control block seen
    while (at < size && data[at] != 0x3B) {
        if (data[at] == 0x21 && at + 2 <= size) {
            size_t end = subBlocksEnd(data, size, at + 2);
            if (end == 0)
                return;
            // A graphic control block applies to the image that follows it.
            if (data[at + 1] == 0xF9) {
                control = at;
                controlEnd = end;
            }
            at = end;
            continue;
        }
        if (data[at] != 0x2C || at + 10 > size)
            return;
        // The image: descriptor (position, size, flags), its own colour table, the code size
        // and the compressed data.
        size_t imageEnd = at + 10 + colourTableBytes(data[at + 9]) + 1;
        imageEnd = imageEnd <= size ? subBlocksEnd(data, size, imageEnd) : 0;
        if (imageEnd == 0)
            return;
        if (controlEnd)
            out.insert(out.end(), data + control, data + controlEnd);
        out.insert(out.end(), data + at, data + imageEnd);
        out.push_back(0x3B);
        picture.width = ByteOrder::little16(data + at + 5);
        picture.height = ByteOrder::little16(data + at + 7);
        picture.bytes = out;
        return;
    }
}
