#include "render/FixedHeaders.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <FreeImage.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
// A wireless bitmap's integers: 7 bits a byte, high bit set on all but the last byte.
bool multiByte(const unsigned char* data, size_t size, size_t& at, unsigned int& value)
{
    value = 0;
    for (int bytes = 0; bytes < 4 && at < size; ++bytes) {
        unsigned char b = data[at++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

void putMultiByte(std::vector<unsigned char>& out, unsigned int value)
{
    unsigned char groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count-- > 0)
        out.push_back(static_cast<unsigned char>(groups[count] | (count ? 0x80 : 0)));
}

// One header line of a Radiance file, without its line end; false at the end of the data.
bool line(const unsigned char* data, size_t size, size_t& at, std::string& text)
{
    text.clear();
    while (at < size && data[at] != '\n')
        text.push_back(static_cast<char>(data[at++]));
    if (at >= size)
        return false;
    ++at;
    return true;
}
}

void FixedHeaders::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    switch (picture.format) {
    case FIF_DDS:
        return keepDds(data, size, picture);
    case FIF_SGI:
        return keepSgi(data, size, picture);
    case FIF_WBMP:
        return keepWbmp(data, size, picture);
    case FIF_KOALA:
        return keepKoala(data, size, picture);
    case FIF_CUT:
        return keepCut(data, size, picture);
    default:
        return keepHdr(data, size, picture);
    }
}

void FixedHeaders::keepDds(const unsigned char* data, size_t size, PictureFile& picture)
{
    // "DDS ", then the 124-byte surface description: size, flags, height, width, ...
    if (size < 128 || std::memcmp(data, "DDS ", 4) != 0)
        return;
    picture.height = ByteOrder::little32(data + 12);
    picture.width = ByteOrder::little32(data + 16);
    picture.bytes.assign(data, data + size);
}

void FixedHeaders::keepSgi(const unsigned char* data, size_t size, PictureFile& picture)
{
    // 512 bytes: magic, storage, bytes per channel, dimension, x, y and z size, ..., name.
    if (size < 512)
        return;
    picture.width = ByteOrder::big16(data + 6);
    picture.height = ByteOrder::big16(data + 8);
    picture.bytes.assign(data, data + size);
    std::memset(picture.bytes.data() + 24, 0, 80);
}

void FixedHeaders::keepWbmp(const unsigned char* data, size_t size, PictureFile& picture)
{
    size_t at = 0;
    unsigned int type = 0;
    if (!multiByte(data, size, at, type) || type != 0 || at >= size)
        return;
    unsigned char fixed = data[at++];
    // Extension headers: a chain of bytes with the high bit set, or name-value pairs.
    if (fixed & 0x80) {
        unsigned char extension = 0;
        do {
            if (at >= size)
                return;
            extension = data[at++];
            if ((fixed & 0x60) == 0x60) {
                size_t pair = ((extension >> 4) & 0x07) + 1 + (extension & 0x0F) + 1;
                at += pair;
            }
        } while (extension & 0x80);
    }
    unsigned int width = 0;
    unsigned int height = 0;
    if (!multiByte(data, size, at, width) || !multiByte(data, size, at, height) || at > size)
        return;
    picture.width = width;
    picture.height = height;
    picture.bytes = { 0, 0 };
    putMultiByte(picture.bytes, width);
    putMultiByte(picture.bytes, height);
    picture.bytes.insert(picture.bytes.end(), data + at, data + size);
}

void FixedHeaders::keepKoala(const unsigned char* data, size_t size, PictureFile& picture)
{
    // Always 320 x 200: 8000 bytes of bitmap, 1000 of screen and 1000 of colour memory and the
    // background, after a load address when the file carries one. A shorter file would leave
    // the decoder reading memory it never filled.
    bool loadAddress = size >= 2 && data[0] == 0x00 && data[1] == 0x60;
    if (size < 10001u + (loadAddress ? 2 : 0))
        return;
    picture.width = 320;
    picture.height = 200;
    picture.bytes.assign(data, data + size);
}

void FixedHeaders::keepCut(const unsigned char* data, size_t size, PictureFile& picture)
{
    // Width, height, two reserved bytes, then lines: a byte count (unread) and runs, where a
    // zero ends the line, a count with the high bit repeats the next byte and a plain count
    // copies that many bytes.
    if (size < 8)
        return;
    unsigned int width = ByteOrder::little16(data);
    unsigned int height = ByteOrder::little16(data + 2);
    // FreeImage's decoder checks each run against the width but not the number of line ends:
    // one line end too many makes it write below the picture. Runs are walked here as it does.
    size_t pixels = static_cast<size_t>(width) * height;
    long row = static_cast<long>(height) - 1;
    size_t column = 0;
    size_t at = 8;
    for (size_t done = 0; done < pixels;) {
        if (at >= size)
            return;
        unsigned char count = data[at++];
        if (count == 0) {
            column = 0;
            --row;
            at += 2;
            continue;
        }
        size_t run = count & 0x7F;
        size_t taken = (count & 0x80) ? 1 : run;
        if (row < 0 || column + run > width || at + taken > size)
            return;
        at += taken;
        column += run;
        done += run;
    }
    picture.width = width;
    picture.height = height;
    picture.bytes.assign(data, data + size);
}

void FixedHeaders::keepHdr(const unsigned char* data, size_t size, PictureFile& picture)
{
    // The program line, the header lines up to an empty one, then the resolution and pixels.
    size_t at = 0;
    std::string text;
    if (!line(data, size, at, text) || text.compare(0, 2, "#?") != 0)
        return;
    std::string header = text + "\n";
    while (line(data, size, at, text) && !text.empty()) {
        if (text.compare(0, 7, "FORMAT=") == 0)
            header += text + "\n";
    }
    // FreeImage reads only "-Y height +X width", and overflows on numbers too long for an int
    // (and then crashes): the size is read here and written anew.
    unsigned int height = 0;
    unsigned int width = 0;
    char rest = 0;
    bool resolution = line(data, size, at, text);
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (!resolution || text.size() > 32 || std::sscanf(text.c_str(), "-Y %5u +X %5u%c", &height, &width, &rest) != 2)
        return;
    header += "\n-Y " + std::to_string(height) + " +X " + std::to_string(width) + "\n";
    picture.bytes.assign(header.begin(), header.end());
    picture.bytes.insert(picture.bytes.end(), data + at, data + size);
    picture.width = width;
    picture.height = height;
}
