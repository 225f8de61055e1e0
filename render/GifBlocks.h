// The guard of GIF files: keeps the header, the screen descriptor with its colour table, and
// the first image with the graphic control block before it (which says which colour is
// transparent), and drops every other block: comments, application data such as loop
// counts, plain text and the later frames. The first image's descriptor gives the size.
#pragma once

#include <cstddef>

class PictureFile;

class GifBlocks {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
