// The guard of the formats with a small fixed header, read here: those FreeImage has no
// header-only read for (DirectDraw surfaces, SGI images, wireless bitmaps, Koala pictures) and
// those whose decoders FreeImage leaves unguarded against their header or runs (Dr. Halo
// pictures, Radiance HDR). Metadata fields are emptied: the SGI name, the wireless bitmap's
// extension headers, the HDR header's lines other than its format.
#pragma once

#include <cstddef>

class PictureFile;

class FixedHeaders {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    static void keepDds(const unsigned char* data, size_t size, PictureFile& picture);
    static void keepSgi(const unsigned char* data, size_t size, PictureFile& picture);
    static void keepWbmp(const unsigned char* data, size_t size, PictureFile& picture);
    static void keepKoala(const unsigned char* data, size_t size, PictureFile& picture);
    static void keepCut(const unsigned char* data, size_t size, PictureFile& picture);
    static void keepHdr(const unsigned char* data, size_t size, PictureFile& picture);
};
