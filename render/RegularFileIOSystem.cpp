#include "render/RegularFileIOSystem.h"

#include "render/RegularFile.h"

#include <assimp/MemoryIOWrapper.h>

#include <algorithm>
#include <vector>

bool RegularFileIOSystem::Exists(const char* path) const
{
    return path && RegularFile::readable(path);
}

Assimp::IOStream* RegularFileIOSystem::Open(const char* path, const char* mode)
{
    // The importer only reads.
    if (!path || !mode || mode[0] != 'r')
        return nullptr;
    std::vector<unsigned char> bytes;
    if (!RegularFile::read(path, maxFileBytes, bytes))
        return nullptr;
    uint8_t* owned = new uint8_t[bytes.size() + 1];
    std::copy(bytes.begin(), bytes.end(), owned);
    return new Assimp::MemoryIOStream(owned, bytes.size(), true);
}
