// The guard of Sun raster pictures: a true-colour picture that carries a colour map (which it
// has no use for) loses the map, since FreeImage writes it into a palette such a picture does
// not have and crashes, even when it reads only the header; so may a header cut short, which is
// refused. The size then comes from FreeImage's header-only read, as for the other formats
// without metadata.
#pragma once

#include <cstddef>

class PictureFile;

class SunRaster {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
