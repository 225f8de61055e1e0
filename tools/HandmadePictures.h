// Sample pictures in the formats FreeImage reads but cannot write, and in encodings its
// writers never choose (run-length bitmaps, CMYK JPEG), written byte by byte from their file
// layouts (or, for the JPEG, by libjpeg). Every one is 13 x 7 pixels of a 16-colour pattern.
#pragma once

#include <string>
#include <vector>

class HandmadePictures {
public:
    explicit HandmadePictures(const std::string& folder);

    bool writeAll() const;

    // The pattern: a palette index per pixel and the palette's colours.
    static unsigned char index(unsigned int x, unsigned int y);
    static void colour(unsigned char index, unsigned char rgb[3]);

private:
    std::vector<unsigned char> pcx8() const;
    std::vector<unsigned char> pcx24() const;
    std::vector<unsigned char> sunRaster(int depth, bool rle) const;
    std::vector<unsigned char> halo() const;
    std::vector<unsigned char> xbm() const;
    std::vector<unsigned char> dds(bool dxt1) const;
    std::vector<unsigned char> sgi(int channels, bool rle) const;
    std::vector<unsigned char> koala() const;
    std::vector<unsigned char> iff(int planes, bool byteRun) const;
    std::vector<unsigned char> pict() const;
    std::vector<unsigned char> bmpRle(int bits) const;
    std::vector<unsigned char> jpegCmyk() const;
    bool write(const std::string& name, const std::vector<unsigned char>& bytes) const;

    std::string folder;
};
