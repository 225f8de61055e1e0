// The guard of WebP files: keeps the extended header (with its metadata flags cleared), the
// animation, alpha and bitstream chunks, and drops the ICC profile, Exif and XMP chunks and
// any unknown chunk, rewriting the container's size. FreeImage's header-only read of what is
// left gives the size.
#pragma once

#include <cstddef>

class PictureFile;

class WebpChunks {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
