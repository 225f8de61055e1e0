#include "render/Jpeg2000Stream.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {
const unsigned char signatureBox[12] = { 0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A };
// OpenJPEG keeps parameters of each tile and component: 65,025 tiles of 4 components in a
// 94-byte file took FreeImage to 818 MB, about 1.1 KB for each tile and component and 8 KB
// more for each tile. A tile counts as 8 components; 196,608 of them hold 16,384 tiles of 4
// components, about 210 MB.
const std::uint64_t maxTileComponents = 196608;

// A box: its type, where its content starts and where the box ends.
struct Box {
    const unsigned char* type;
    size_t content;
    size_t end;
};

// The box at `at`: a 4-byte length (1: an 8-byte length follows the type, 0: up to the end),
// then the type. False when it does not fit in [at, end).
bool boxAt(const unsigned char* data, size_t at, size_t end, Box& box)
{
    if (end - at < 8)
        return false;
    std::uint64_t length = ByteOrder::big32(data + at);
    box.type = data + at + 4;
    box.content = at + 8;
    if (length == 1) {
        if (end - at < 16)
            return false;
        length = (std::uint64_t(ByteOrder::big32(data + at + 8)) << 32) | ByteOrder::big32(data + at + 12);
        box.content = at + 16;
    } else if (length == 0) {
        length = end - at;
    }
    box.end = at + static_cast<size_t>(length);
    return length >= box.content - at && length <= end - at;
}

bool is(const Box& box, const char* type)
{
    return std::memcmp(box.type, type, 4) == 0;
}

void putLength(std::vector<unsigned char>& out, size_t start)
{
    std::vector<unsigned char> length;
    ByteOrder::putBig32(length, static_cast<std::uint32_t>(out.size() - start));
    std::copy(length.begin(), length.end(), out.begin() + static_cast<std::ptrdiff_t>(start));
}

// The header box with only the boxes that shape the pixels, and the columns of its palette,
// each of which OpenJPEG makes a component as large as the picture.
void keepHeader(const unsigned char* data, const Box& header, std::vector<unsigned char>& out, unsigned int& columns)
{
    static const char* const kept[] = { "ihdr", "bpcc", "colr", "pclr", "cmap", "cdef" };
    size_t start = out.size();
    out.insert(out.end(), { 0, 0, 0, 0, 'j', 'p', '2', 'h' });
    Box box;
    for (size_t at = header.content; boxAt(data, at, header.end, box); at = box.end) {
        if (is(box, "pclr") && box.end - box.content >= 3)
            columns = data[box.content + 2];
        if (std::any_of(std::begin(kept), std::end(kept), [&box](const char* type) { return is(box, type); }))
            out.insert(out.end(), data + at, data + box.end);
    }
    putLength(out, start);
}
}

void Jpeg2000Stream::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size >= sizeof signatureBox && std::memcmp(data, signatureBox, sizeof signatureBox) == 0)
        keepFile(data, size, picture);
    else if (!keepCodestream(data, size, 0, picture))
        picture.width = picture.height = 0;
}

// Main header: SOC, SIZ (length, capabilities, grid size, grid offset, tile size, tile offset,
// components, then 3 bytes a component), other markers with their lengths up to the first tile
// (SOT); then the tiles, kept as they are.
bool Jpeg2000Stream::keepCodestream(const unsigned char* data, size_t size, unsigned int columns, PictureFile& picture)
{
    if (size < 42 || ByteOrder::big32(data) != 0xFF4FFF51)
        return false;
    size_t sizLength = ByteOrder::big16(data + 4);
    unsigned int components = ByteOrder::big16(data + 40);
    if (components == 0 || sizLength != 38 + 3 * components || sizLength > size - 4 || !measure(data, columns, picture))
        return false;
    std::vector<unsigned char>& out = picture.bytes;
    out.insert(out.end(), data, data + 4 + sizLength);
    for (size_t at = 4 + sizLength; size - at >= 4;) {
        unsigned int marker = ByteOrder::big16(data + at);
        if (marker == 0xFF90) {
            out.insert(out.end(), data + at, data + size);
            return true;
        }
        size_t length = ByteOrder::big16(data + at + 2);
        if ((marker & 0xFF00) != 0xFF00 || length < 2 || length > size - at - 2)
            return false;
        if (marker != 0xFF64)
            out.insert(out.end(), data + at, data + at + 2 + length);
        at += 2 + length;
    }
    return false;
}

// The grid less its offset, with the height stretched so that the budget pays for what OpenJPEG
// allocates: a whole picture of 4-byte samples for each component (and palette column) past
// the first four. False when the tiles' parameters alone would cost too much.
bool Jpeg2000Stream::measure(const unsigned char* siz, unsigned int columns, PictureFile& picture)
{
    std::uint32_t width = ByteOrder::big32(siz + 8), height = ByteOrder::big32(siz + 12);
    std::uint32_t left = ByteOrder::big32(siz + 16), top = ByteOrder::big32(siz + 20);
    std::uint32_t tileWidth = ByteOrder::big32(siz + 24), tileHeight = ByteOrder::big32(siz + 28);
    std::uint32_t tileLeft = ByteOrder::big32(siz + 32), tileTop = ByteOrder::big32(siz + 36);
    std::uint64_t components = ByteOrder::big16(siz + 40);
    if (width <= left || height <= top || tileWidth == 0 || tileHeight == 0 || tileLeft >= width || tileTop >= height)
        return false;
    std::uint64_t tiles = (std::uint64_t(width - tileLeft) + tileWidth - 1) / tileWidth
        * ((std::uint64_t(height - tileTop) + tileHeight - 1) / tileHeight);
    if (tiles > maxTileComponents / (8 + components))
        return false;
    std::uint64_t stretched = std::uint64_t(height - top) * ((components + columns + 3) / 4);
    picture.width = width - left;
    picture.height = static_cast<unsigned int>(std::min<std::uint64_t>(stretched, UINT32_MAX));
    return true;
}

// Boxes: the signature, the file type, the header and the codestream, which ends the picture.
void Jpeg2000Stream::keepFile(const unsigned char* data, size_t size, PictureFile& picture)
{
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(signatureBox, signatureBox + sizeof signatureBox);
    unsigned int columns = 0;
    Box box;
    for (size_t at = sizeof signatureBox; boxAt(data, at, size, box); at = box.end) {
        if (is(box, "ftyp")) {
            out.insert(out.end(), data + at, data + box.end);
        } else if (is(box, "jp2h")) {
            keepHeader(data, box, out, columns);
        } else if (is(box, "jp2c")) {
            size_t start = out.size();
            out.insert(out.end(), { 0, 0, 0, 0, 'j', 'p', '2', 'c' });
            if (!keepCodestream(data + box.content, box.end - box.content, columns, picture))
                picture.width = picture.height = 0;
            putLength(out, start);
            return;
        }
    }
}
