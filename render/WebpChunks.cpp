#include "render/WebpChunks.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"
#include "render/PictureHeader.h"

#include <algorithm>
#include <cstring>

namespace {
bool kept(const unsigned char* type)
{
    static const char* const chunks[] = { "VP8X", "VP8 ", "VP8L", "ALPH", "ANIM", "ANMF" };
    return std::any_of(
        std::begin(chunks), std::end(chunks), [type](const char* t) { return std::memcmp(type, t, 4) == 0; });
}
}

void WebpChunks::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < 20 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0)
        return;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + 12);
    for (size_t at = 12; at + 8 <= size;) {
        size_t length = ByteOrder::little32(data + at + 4);
        size_t whole = std::min(size - at, 8 + length + (length % 2));
        if (kept(data + at)) {
            size_t start = out.size();
            out.insert(out.end(), data + at, data + at + whole);
            // The extended header's flags announce ICC (bit 5), Exif (3) and XMP (2) chunks.
            if (std::memcmp(data + at, "VP8X", 4) == 0 && whole > 8)
                out[start + 8] &= static_cast<unsigned char>(~0x2C);
        }
        at += whole;
    }
    std::vector<unsigned char> riff;
    ByteOrder::putLittle32(riff, static_cast<unsigned int>(out.size() - 8));
    std::copy(riff.begin(), riff.end(), out.begin() + 4);
    PictureHeader::measure(picture);
}
