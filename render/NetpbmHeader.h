// The guard of Netpbm pictures (PBM, PGM and PPM, plain and raw) and of portable float maps:
// reads the magic number, the size, the largest sample value or the scale itself and writes
// the header anew, without comments. FreeImage's own reading of these numbers overflows on
// long ones and then decodes past its buffer, so a number longer than any valid size is
// refused.
#pragma once

#include <cstddef>
#include <string>

class PictureFile;

class NetpbmHeader {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    // The next whitespace-separated word, skipping comments; empty at the end of the data.
    static std::string word(const unsigned char* data, size_t size, size_t& at);
};
