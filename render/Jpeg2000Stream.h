// The guard of JPEG 2000 pictures: bare codestreams (J2K) and JP2 files. Of a codestream's main
// header it drops the comments and keeps every other marker; of a JP2 file it keeps the
// signature, the file type, the header box with only the boxes that shape the pixels (image
// header, bit depths, colour, palette, component mapping and definitions) and the first
// codestream, and drops XML, UUID, resolution, rights and the like. The size is what OpenJPEG
// allocates, the reference grid's less its offset (the image header's is not used), its height
// stretched for components past four; tiles so many that their parameters alone cost hundreds
// of megabytes are refused.
#pragma once

#include <cstddef>
#include <vector>

class PictureFile;

class Jpeg2000Stream {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    static bool keepCodestream(const unsigned char* data, size_t size, unsigned int columns, PictureFile& picture);
    static bool measure(const unsigned char* siz, unsigned int columns, PictureFile& picture);
    static void keepFile(const unsigned char* data, size_t size, PictureFile& picture);
};
