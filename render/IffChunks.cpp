#include "render/IffChunks.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <cstring>

namespace {
void putChunk(std::vector<unsigned char>& out, const unsigned char* chunk, size_t length)
{
    out.insert(out.end(), chunk, chunk + 4);
    ByteOrder::putBig32(out, static_cast<unsigned int>(length));
    out.insert(out.end(), chunk + 8, chunk + 8 + length);
    if (length % 2)
        out.push_back(0);
}
}

bool IffChunks::bodyComplete(const unsigned char* body, size_t size, size_t rows, size_t rowBytes, bool packed)
{
    if (!packed)
        return size / rowBytes >= rows;
    // Byte runs: n < 128 copies n + 1 bytes, n > 128 repeats the next byte 257 - n times; a run
    // never crosses the end of a row.
    size_t at = 0;
    for (size_t row = 0; row < rows; ++row) {
        size_t filled = 0;
        while (filled < rowBytes) {
            if (at >= size)
                return false;
            unsigned char n = body[at++];
            size_t count = n < 128 ? n + 1u : (n > 128 ? 257u - n : 0u);
            size_t taken = n < 128 ? count : (n > 128 ? 1u : 0u);
            if (filled + count > rowBytes || at + taken > size)
                return false;
            filled += count;
            at += taken;
        }
    }
    return true;
}

void IffChunks::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < 12 || std::memcmp(data, "FORM", 4) != 0)
        return;
    bool chunky = std::memcmp(data + 8, "PBM ", 4) == 0;
    if (!chunky && std::memcmp(data + 8, "ILBM", 4) != 0)
        return;
    std::vector<unsigned char> out(data, data + 12);
    const unsigned char* header = nullptr;
    const unsigned char* body = nullptr;
    size_t bodyLength = 0;
    for (size_t at = 12; at + 8 <= size;) {
        const unsigned char* chunk = data + at;
        size_t length = ByteOrder::big32(chunk + 4);
        if (length > size - at - 8)
            return;
        if (std::memcmp(chunk, "BMHD", 4) == 0 && length >= 20 && !header)
            header = chunk;
        if ((std::memcmp(chunk, "BMHD", 4) == 0 && length >= 20) || std::memcmp(chunk, "CMAP", 4) == 0
            || std::memcmp(chunk, "CAMG", 4) == 0)
            putChunk(out, chunk, length);
        if (std::memcmp(chunk, "BODY", 4) == 0) {
            body = chunk;
            bodyLength = length;
            break;
        }
        at += 8 + length + (length % 2);
    }
    if (!header || !body)
        return;
    // The header: width, height, x, y, planes, masking, compression, ...
    unsigned int width = ByteOrder::big16(header + 8);
    unsigned int height = ByteOrder::big16(header + 10);
    unsigned int planes = header[16] + (header[17] == 1 ? 1 : 0);
    size_t rowBytes = chunky ? (width + 1) / 2 * 2 : (width + 15) / 16 * 2;
    size_t rows = static_cast<size_t>(height) * (chunky ? 1 : planes);
    if (width == 0 || rows == 0 || header[18] > 1
        || !bodyComplete(body + 8, bodyLength, rows, rowBytes, header[18] == 1))
        return;
    putChunk(out, body, bodyLength);
    unsigned int form = static_cast<unsigned int>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<unsigned char>(form >> (24 - 8 * i));
    picture.width = width;
    picture.height = height;
    picture.bytes = out;
}
