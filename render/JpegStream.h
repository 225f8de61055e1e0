// The guard of JPEG streams (files, and the colour data of JNG pictures): keeps the start,
// the first frame header, the tables, the scans and the end, and the Adobe segment, which
// says how the colours are stored; every other segment (Exif, XMP, ICC, comments) is
// dropped unread. The frame header gives the size. Thousands of scans are refused.
#pragma once

#include <cstddef>

class PictureFile;

class JpegStream {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

    // A progressive JPEG takes a dozen scans; thousands would make decoding crawl.
    static constexpr int maxScans = 256;
};
