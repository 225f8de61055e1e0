// The guard of Targa files: drops the image identification field, the version 2 extension
// and developer areas and the footer that points to them (author, comments, dates, a
// thumbnail), keeping header, colour map and image data. The header gives the size.
#pragma once

#include <cstddef>

class PictureFile;

class TargaFile {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
