#include "render/JpegStream.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
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

// Entropy-coded data runs to the next marker that is neither a stuffed zero nor a restart.
size_t scanEnd(const unsigned char* data, size_t size, size_t at)
{
    while (at + 1 < size && !(data[at] == 0xFF && data[at + 1] != 0x00 && !standsAlone(data[at + 1])))
        ++at;
    return at + 1 >= size ? size : at;
}
}

void JpegStream::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF)
        return;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + 2);
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
            out.insert(out.end(), data + at, data + at + 2);
            return;
        }
        if (at + 4 > size)
            return;
        size_t length = ByteOrder::big16(data + at + 2);
        if (length < 2)
            return;
        size_t end = std::min(size, at + 2 + length);
        // Only the first frame is kept: it is the one whose size was checked.
        bool firstFrame = isFrame(marker) && !sawFrame;
        if (firstFrame && end - at >= 9) {
            picture.height = ByteOrder::big16(data + at + 5);
            picture.width = ByteOrder::big16(data + at + 7);
        }
        sawFrame = sawFrame || isFrame(marker);
        if (firstFrame || isTable(marker) || marker == 0xDA || isAdobe(marker, data + at, end - at))
            out.insert(out.end(), data + at, data + end);
        at = end;
        if (marker != 0xDA)
            continue;
        if (++scans > maxScans) {
            picture.width = picture.height = 0;
            return;
        }
        size_t scan = scanEnd(data, size, at);
        out.insert(out.end(), data + at, data + scan);
        at = scan;
    }
}
