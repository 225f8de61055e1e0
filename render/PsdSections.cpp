#include "render/PsdSections.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <cstdint>
#include <cstring>

namespace {
const size_t headerBytes = 26;
const unsigned int indexedMode = 2;

std::uint64_t big(const unsigned char* p, size_t bytes)
{
    return bytes == 2 ? ByteOrder::big16(p)
        : bytes == 4  ? ByteOrder::big32(p)
                      : (std::uint64_t(ByteOrder::big32(p)) << 32) | ByteOrder::big32(p + 4);
}

// The end of the section at `at`, whose length takes lengthBytes, or 0 when it runs past the file.
size_t sectionEnd(const unsigned char* data, size_t size, size_t at, size_t lengthBytes)
{
    if (at == 0 || size - at < lengthBytes)
        return 0;
    std::uint64_t length = big(data + at, lengthBytes);
    return length <= size - at - lengthBytes ? at + lengthBytes + static_cast<size_t>(length) : 0;
}

// PackBits: n < 128 copies n + 1 bytes, n > 128 repeats the next byte 257 - n times, 128 is
// nothing. The row must come out exactly full from exactly its bytes.
bool unpacksToRow(const unsigned char* run, size_t length, std::uint64_t rowBytes)
{
    std::uint64_t filled = 0;
    for (size_t at = 0; at < length;) {
        unsigned char n = run[at++];
        size_t count = n < 128 ? n + 1u : n > 128 ? 257u - n : 0u;
        size_t taken = n < 128 ? count : n > 128 ? 1u : 0u;
        if (count > rowBytes - filled || taken > length - at)
            return false;
        filled += count;
        at += taken;
    }
    return filled == rowBytes;
}

// The end of the merged image at `at` (compression, then raw rows or row lengths and PackBits
// rows, channel after channel), or 0 when a row is missing or does not unpack to a whole row.
size_t imageEnd(
    const unsigned char* data, size_t size, size_t at, std::uint64_t rows, std::uint64_t rowBytes, size_t lengthBytes)
{
    if (at == 0 || size - at < 2)
        return 0;
    unsigned int compression = ByteOrder::big16(data + at);
    at += 2;
    if (compression == 0)
        return rows <= (size - at) / rowBytes ? at + static_cast<size_t>(rows * rowBytes) : 0;
    if (compression != 1 || rows > (size - at) / lengthBytes)
        return 0;
    size_t packed = at + static_cast<size_t>(rows) * lengthBytes;
    for (size_t row = 0; row < rows; ++row) {
        std::uint64_t length = big(data + at + row * lengthBytes, lengthBytes);
        if (length > size - packed || !unpacksToRow(data + packed, static_cast<size_t>(length), rowBytes))
            return 0;
        packed += static_cast<size_t>(length);
    }
    return packed;
}
}

void PsdSections::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    // Header: signature, version (2 for PSB), 6 reserved bytes, channels, height, width, depth, mode.
    if (size < headerBytes || std::memcmp(data, "8BPS", 4) != 0)
        return;
    unsigned int version = ByteOrder::big16(data + 4);
    std::uint64_t channels = ByteOrder::big16(data + 12);
    std::uint32_t height = ByteOrder::big32(data + 14);
    std::uint32_t width = ByteOrder::big32(data + 18);
    unsigned int depth = ByteOrder::big16(data + 22);
    unsigned int mode = ByteOrder::big16(data + 24);
    // FreeImage reads 1, 8, 16 and 32 bits a channel; with 13 it copied past its rows.
    bool readDepth = depth == 1 || depth == 8 || depth == 16 || depth == 32;
    if ((version != 1 && version != 2) || channels == 0 || width == 0 || height == 0 || !readDepth)
        return;
    size_t colours = sectionEnd(data, size, headerBytes, 4);
    size_t resources = sectionEnd(data, size, colours, 4);
    size_t layers = sectionEnd(data, size, resources, version == 2 ? 8 : 4);
    size_t end
        = imageEnd(data, size, layers, channels * height, (std::uint64_t(width) * depth + 7) / 8, version == 2 ? 4 : 2);
    if (end == 0)
        return;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + headerBytes);
    if (mode == indexedMode)
        out.insert(out.end(), data + headerBytes, data + colours);
    else
        out.resize(out.size() + 4, 0);
    // No resources, and no layers.
    out.resize(out.size() + 4 + (version == 2 ? 8 : 4), 0);
    out.insert(out.end(), data + layers, data + end);
    picture.width = width;
    picture.height = height;
}
