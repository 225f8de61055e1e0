#include "render/PictureFile.h"

#include "render/RegularFile.h"

#include <algorithm>
#include <cstring>

namespace {
const unsigned char pngSignature[8] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };

unsigned int big32(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 24) | (static_cast<unsigned int>(p[1]) << 16)
        | (static_cast<unsigned int>(p[2]) << 8) | p[3];
}

unsigned int big16(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 8) | p[1];
}

// Critical chunks start with a capital; of the ancillary ones only the transparency matters.
bool pngChunkKept(const unsigned char* type)
{
    return (type[0] & 0x20) == 0 || std::memcmp(type, "tRNS", 4) == 0;
}

// Frame headers: every SOFn but DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool isFrame(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Tables and restart interval: DHT, DAC, DQT, DRI.
bool isTable(unsigned char marker)
{
    return marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDD;
}

// The Adobe segment (APP14, 12 bytes of data) tells how the colours are stored.
bool isAdobe(unsigned char marker, const unsigned char* segment, size_t segmentBytes)
{
    return marker == 0xEE && segmentBytes == 16 && std::memcmp(segment + 4, "Adobe", 5) == 0;
}

// Markers that stand alone, without a length: TEM, restarts, a second start.
bool standsAlone(unsigned char marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

void append(std::vector<unsigned char>& out, const unsigned char* from, size_t count)
{
    out.insert(out.end(), from, from + count);
}
}

PictureFile PictureFile::read(const std::string& path)
{
    std::vector<unsigned char> file;
    if (!RegularFile::read(path, maxFileBytes, file))
        return PictureFile();
    return fromBytes(file.data(), file.size());
}

PictureFile PictureFile::fromBytes(const unsigned char* data, size_t size)
{
    PictureFile picture;
    if (size >= 8 && std::memcmp(data, pngSignature, 8) == 0)
        picture.keepPng(data, size);
    else if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        picture.keepJpeg(data, size);
    if (picture.width == 0 || picture.height == 0) {
        picture.format = Format::unknown;
        picture.bytes.clear();
    }
    return picture;
}

bool PictureFile::fits(size_t maxPixels) const
{
    return format != Format::unknown && width >= 1 && height >= 1 && width <= maxSide && height <= maxSide
        && static_cast<size_t>(width) * height <= maxPixels;
}

void PictureFile::keepPng(const unsigned char* data, size_t size)
{
    format = Format::png;
    append(bytes, data, 8);
    size_t at = 8;
    bool first = true;
    // Each chunk: length, type, data, CRC. A chunk cut short is kept as it is, for the decoder to judge.
    while (at + 8 <= size) {
        size_t length = big32(data + at);
        const unsigned char* type = data + at + 4;
        size_t whole = std::min(size - at, length + 12);
        if (first) {
            // The header comes first, with 13 bytes: width, height, depth, colour type, ...
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13 || at + 8 + 13 > size)
                return;
            width = big32(data + at + 8);
            height = big32(data + at + 12);
            first = false;
        }
        if (pngChunkKept(type))
            append(bytes, data + at, whole);
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        at += whole;
    }
}

void PictureFile::keepJpeg(const unsigned char* data, size_t size)
{
    format = Format::jpeg;
    append(bytes, data, 2);
    size_t at = 2;
    int scans = 0;
    bool sawFrame = false;
    while (at + 2 <= size) {
        unsigned char marker = data[at + 1];
        // Garbage between segments and fill bytes are skipped, as the decoder would.
        if (data[at] != 0xFF || marker == 0xFF) {
            ++at;
            continue;
        }
        if (standsAlone(marker)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9) {
            append(bytes, data + at, 2);
            return;
        }
        if (at + 4 > size)
            return;
        size_t length = big16(data + at + 2);
        if (length < 2)
            return;
        size_t end = std::min(size, at + 2 + length);
        // Only the first frame is kept: it is the one whose size was checked.
        bool firstFrame = isFrame(marker) && !sawFrame;
        if (firstFrame && end - at >= 9) {
            height = big16(data + at + 5);
            width = big16(data + at + 7);
        }
        sawFrame = sawFrame || isFrame(marker);
        if (firstFrame || isTable(marker) || marker == 0xDA || isAdobe(marker, data + at, end - at))
            append(bytes, data + at, end - at);
        at = end;
        if (marker != 0xDA)
            continue;
        if (++scans > maxJpegScans) {
            width = height = 0;
            return;
        }
        // Entropy-coded data runs to the next marker that is neither a stuffed zero nor a restart.
        size_t scan = at;
        while (scan + 1 < size && !(data[scan] == 0xFF && data[scan + 1] != 0x00 && !standsAlone(data[scan + 1])))
            ++scan;
        if (scan + 1 >= size)
            scan = size;
        append(bytes, data + at, scan - at);
        at = scan;
    }
}
