// The chunk tree of a 3DS file, walked where the importer looks for what it builds (the editor's
// objects, meshes, face lists and materials, the keyframer's nodes), so that their numbers are
// known before the importer reads the file.
#pragma once

#include "render/ModelCensus.h"

#include <cstddef>
#include <vector>

class ThreeDsChunks {
public:
    // Adds what the file would build to the census.
    static void count(const std::vector<unsigned char>& bytes, ModelCensus& census);

private:
    enum class Level { file, main, editor, object, mesh, keyframer, node };
    static void walk(const unsigned char* data, size_t size, Level level, ModelCensus& census);
    static Level inside(Level level, unsigned int id, ModelCensus& census, const unsigned char* data, size_t size);
};
