// A picture file cut down to what decoding needs, so that the metadata the game never uses
// never reaches a decoder's parser, together with the size its header declares, so that a
// loader can refuse a picture before a single pixel is decoded. Only PNG and JPEG are taken.
// PNG keeps its signature, critical chunks and transparency; JPEG its start, frame, tables,
// scans and end (and the Adobe segment, which says how its colours are stored).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class PictureFile {
public:
    enum class Format { unknown, png, jpeg };

    // Unknown format when the file is not a regular file, is over maxFileBytes, is neither a
    // PNG nor a JPEG, or has no readable header.
    static PictureFile read(const std::string& path);
    static PictureFile fromBytes(const unsigned char* data, size_t size);

    // Whether the declared size is at least 1 x 1, at most maxSide a side and maxPixels in all.
    bool fits(size_t maxPixels) const;

    Format format = Format::unknown;
    unsigned int width = 0;
    unsigned int height = 0;
    // What the decoder is given.
    std::vector<unsigned char> bytes;

    // Larger files are refused unread: the largest picture a budget admits compresses to less.
    static constexpr size_t maxFileBytes = 64 << 20;
    // The GL driver's largest texture side.
    static constexpr unsigned int maxSide = 16384;
    // A progressive JPEG takes a dozen scans; thousands would make decoding crawl.
    static constexpr int maxJpegScans = 256;

private:
    void keepPng(const unsigned char* data, size_t size);
    void keepJpeg(const unsigned char* data, size_t size);
};
