#include "render/ThreeDsChunks.h"

#include <cstring>

namespace {
unsigned int little16(const unsigned char* p)
{
    return p[0] | p[1] << 8;
}

unsigned long little32(const unsigned char* p)
{
    return static_cast<unsigned long>(little16(p)) | static_cast<unsigned long>(little16(p + 2)) << 16;
}
}

void ThreeDsChunks::count(const std::vector<unsigned char>& bytes, ModelCensus& census)
{
    walk(bytes.data(), bytes.size(), Level::file, census);
    census.nodeMeshPairs = census.nodes * census.meshes;
}

// Each chunk: a 16-bit id, a 32-bit length that counts its 6-byte header, then its data. A chunk
// that runs past its parent is cut to it: the importer reads no further either.
void ThreeDsChunks::walk(const unsigned char* data, size_t size, Level level, ModelCensus& census)
{
    size_t at = 0;
    while (size - at >= 6) {
        unsigned int id = little16(data + at);
        unsigned long length = little32(data + at + 2);
        if (length < 6)
            return;
        size_t end = length > size - at ? size : at + length;
        const unsigned char* inner = data + at + 6;
        size_t innerSize = end - at - 6;
        at = end;
        Level next = inside(level, id, census, inner, innerSize);
        if (next == level)
            continue;
        if (next == Level::object) {
            // A named object: its name comes before its chunks.
            const unsigned char* nameEnd = static_cast<const unsigned char*>(std::memchr(inner, 0, innerSize));
            if (!nameEnd)
                continue;
            innerSize -= nameEnd + 1 - inner;
            inner = nameEnd + 1;
        }
        walk(inner, innerSize, next, census);
    }
}

// Counts what a chunk builds and says at which level its own chunks are read; the chunk's own
// level when they are not read at all.
ThreeDsChunks::Level ThreeDsChunks::inside(
    Level level, unsigned int id, ModelCensus& census, const unsigned char* data, size_t size)
{
    switch (level) {
    case Level::file:
        return id == 0x4D4D || id == 0xC23D ? Level::main : level;
    case Level::main:
        return id == 0x3D3D ? Level::editor : id == 0xB000 ? Level::keyframer : level;
    case Level::editor:
        if (id == 0xAFFF)
            ++census.materials;
        return id == 0x4000 ? Level::object : level;
    case Level::object:
        if (id != 0x4100)
            return level;
        ++census.meshes;
        return Level::mesh;
    case Level::mesh:
        if (id == 0x4120 && size >= 2)
            census.corners += 3ull * little16(data);
        return level;
    case Level::keyframer:
        return id >= 0xB001 && id <= 0xB007 ? Level::node : level;
    case Level::node:
        if (id == 0xB010)
            ++census.nodes;
        return level;
    }
    return level;
}
