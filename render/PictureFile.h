// A picture file cut down to what decoding needs, so that the metadata the game never uses
// never reaches a decoder's parser, together with the size its header declares, so that a
// loader can refuse a picture before a single pixel is decoded. The format is found as
// FreeImage finds it, from the content first and then from the file name's extension; each
// format has a guard of its own that strips and measures it (or the format is refused).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class PictureFile {
public:
    // Unknown format when the file is not a regular file, is over maxFileBytes, is in a format
    // the loader refuses, or has no readable header.
    static PictureFile read(const std::string& path);
    // The name only serves to find the format from its extension when the content does not.
    static PictureFile fromBytes(const unsigned char* data, size_t size, const std::string& name = "");

    // Whether the declared size is at least 1 x 1, at most maxSide a side and maxPixels in all.
    bool fits(size_t maxPixels) const;
    bool known() const
    {
        return format >= 0;
    }

    // The FreeImage format the bytes are decoded as, or -1.
    int format = -1;
    unsigned int width = 0;
    unsigned int height = 0;
    // What the decoder is given.
    std::vector<unsigned char> bytes;

    // Larger files are refused unread: the largest picture a budget admits compresses to less.
    static constexpr size_t maxFileBytes = 64 << 20;
    // The GL driver's largest texture side.
    static constexpr unsigned int maxSide = 16384;

private:
    static int formatOf(const unsigned char* data, size_t size, const std::string& name);
    void keep(const unsigned char* data, size_t size);
};
