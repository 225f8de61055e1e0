// The guard of Photoshop files, PSD and PSB (version 2). Of the five sections FreeImage reads it
// keeps the header, the colour table of indexed pictures and the merged image; the image
// resources (thumbnails that are JPEG files of their own, Exif, XMP, IPTC, ICC, and the
// transparent index, which FreeImage does not apply) and the layers are dropped.
// The merged image must be whole before FreeImage sees it: raw rows all there, or a PackBits
// row for every channel row that unpacks to exactly one row, since the decoder trusts both
// and writes past its buffers when they lie. The size is the header's.
#pragma once

#include <cstddef>

class PictureFile;

class PsdSections {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
