#include "render/PngStream.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <algorithm>
#include <cstring>

namespace {
const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };

// Critical chunks start with a capital; of the ancillary ones only those the decoder applies.
bool kept(const unsigned char* type)
{
    static const char* const applied[] = { "tRNS", "gAMA", "cHRM", "sRGB", "iCCP" };
    if ((type[0] & 0x20) == 0)
        return true;
    return std::any_of(
        std::begin(applied), std::end(applied), [type](const char* t) { return std::memcmp(type, t, 4) == 0; });
}
}

bool PngStream::startsPng(const unsigned char* data, size_t size)
{
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

void PngStream::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (!startsPng(data, size))
        return;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + 8);
    size_t at = 8;
    bool first = true;
    // Each chunk: length, type, data, CRC. A chunk cut short is kept as it is, for the decoder to judge.
    while (at + 8 <= size) {
        size_t length = ByteOrder::big32(data + at);
        const unsigned char* type = data + at + 4;
        size_t whole = std::min(size - at, length + 12);
        if (first) {
            // The header comes first, with 13 bytes: width, height, depth, colour type, ...
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13 || at + 8 + 13 > size)
                return;
            picture.width = ByteOrder::big32(data + at + 8);
            picture.height = ByteOrder::big32(data + at + 12);
            first = false;
        }
        if (kept(type))
            out.insert(out.end(), data + at, data + at + whole);
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        at += whole;
    }
}
