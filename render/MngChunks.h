// The guard of MNG animations and JNG pictures: keeps the chunks that make the first picture
// (the PNG chunks the PNG guard keeps, or a JNG header with its colour and alpha data) and
// drops the rest, text and the later frames among them. The JPEG data a JNG picture carries
// goes through the JPEG guard, so its metadata never reaches the JPEG decoder either.
#pragma once

#include <cstddef>
#include <vector>

class PictureFile;

class MngChunks {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    // Appends a chunk with its CRC.
    static void put(std::vector<unsigned char>& out, const char* type, const unsigned char* body, size_t length);
};
