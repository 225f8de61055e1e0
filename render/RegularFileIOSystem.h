// The importer's view of the file system: only regular files of bounded size open, each read
// whole into memory, so that no file the importer looks for (the model, its material libraries,
// any file a format refers to) can be a directory, FIFO or device that hangs or floods it.
#pragma once

#include <assimp/DefaultIOSystem.h>

#include <cstddef>

class RegularFileIOSystem : public Assimp::DefaultIOSystem {
public:
    bool Exists(const char* path) const override;
    Assimp::IOStream* Open(const char* path, const char* mode = "rb") override;

    // The game's models are tens of kilobytes; the importer's scene costs up to about 40 times
    // the file, so this keeps any model well under a gigabyte.
    static constexpr size_t maxFileBytes = 8 << 20;
};
