// The guard of PNG files (and of the PNG pictures inside icons): keeps the signature, the
// critical chunks and the ancillary chunks that change the decoded pixels (transparency,
// gamma, chromaticities, sRGB and ICC profiles, all of which FreeImage's decoder reads), and
// drops every other chunk, text and Exif among them, unread. The header gives the size.
#pragma once

#include <cstddef>

class PictureFile;

class PngStream {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
    static bool startsPng(const unsigned char* data, size_t size);
};
