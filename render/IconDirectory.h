// The guard of Windows icons: keeps the directory's first entry, the picture FreeImage
// decodes, and hands it on alone. A bitmap entry keeps its pixels and masks, is measured from
// its own header (the directory's sizes can be anything) and must be uncompressed with a depth
// a bitmap can have; a PNG entry goes through the PNG guard first.
#pragma once

#include <cstddef>

class PictureFile;

class IconDirectory {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
