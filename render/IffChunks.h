// The guard of IFF pictures (ILBM and PBM): keeps the header, the colour map, the display
// mode and the body, drops every other chunk (names, authors, annotations, colour cycles) and
// writes the chunk sizes anew from what the file holds. FreeImage's reader loops for ever when
// a size promises more than the file has, so a body that does not hold every row is refused.
#pragma once

#include <cstddef>

class PictureFile;

class IffChunks {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    // Whether the body holds rows planes (bytes each) for every line, packed or not.
    static bool bodyComplete(const unsigned char* body, size_t size, size_t rows, size_t rowBytes, bool packed);
};
