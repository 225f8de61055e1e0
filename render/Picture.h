// One decoded picture: 32-bit BGRA pixels, bottom row first, rows without gaps, decoded by
// FreeImage from memory out of a PictureFile whose declared size fits the caller's pixel
// budget. Owns the decoded bitmap until release or the next decode.
#pragma once

#include <cstddef>
#include <vector>

class PictureFile;
struct FIBITMAP;

class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The pixels, or null when the file does not fit the budget or does not decode; width and
    // height are set whenever a picture was decoded.
    unsigned char* decode(const PictureFile& file, size_t maxPixels, unsigned int& width, unsigned int& height);
    // Takes over a bitmap FreeImage decoded and converts it the same way; null when it cannot.
    unsigned char* adopt(FIBITMAP* decoded, unsigned int& width, unsigned int& height);
    void release();

    // Decoded pictures held by all Pictures right now.
    static int live();

private:
    unsigned char* packedRows(unsigned char* bits, unsigned int width, unsigned int height);

    FIBITMAP* bitmap = nullptr;
    // Rows without padding, used only should the decoded rows carry a gap.
    std::vector<unsigned char> packed;
};
