#include "render/ExrHeader.h"

#include "render/ByteOrder.h"
#include "render/PictureFile.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {
const unsigned char magic[4] = { 0x76, 0x2F, 0x31, 0x01 };
const std::uint32_t tiledFlag = 0x200, longNamesFlag = 0x400, deepFlag = 0x800, multipartFlag = 0x1000;
// A 1024 x 16 picture of 2,003 float channels, 172 KB of file, is one chunk of 125 MB that took
// FreeImage to a 252 MB peak. 64 MB holds 256 lines of 4096 pixels of 16 floats.
const std::uint64_t maxChunkBytes = 64 << 20;
// Scan lines a chunk holds, by compression: none, RLE, ZIPS, ZIP, PIZ, PXR24, B44, B44A, DWAA, DWAB.
const unsigned int linesPerChunk[] = { 1, 1, 1, 16, 32, 16, 32, 32, 32, 256 };

std::int64_t signed32(const unsigned char* p)
{
    return static_cast<std::int32_t>(ByteOrder::little32(p));
}

std::uint64_t little64(const unsigned char* p)
{
    return (std::uint64_t(ByteOrder::little32(p + 4)) << 32) | ByteOrder::little32(p);
}

// The length of the text at `at` up to its zero byte, or 0 when it is empty, longer than
// `longest` or not ended within the file.
size_t textLength(const unsigned char* data, size_t size, size_t at, size_t longest)
{
    const void* zero = std::memchr(data + at, 0, std::min(size - at, longest + 1));
    return zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - (data + at)) : 0;
}

// Levels of a side in a mipmap or ripmap: one more than its logarithm, rounded down or up.
unsigned int levels(std::uint64_t side, unsigned int rounding)
{
    unsigned int log = 0;
    while ((std::uint64_t(1) << (log + 1)) <= side)
        ++log;
    return log + 1 + (rounding == 1 && (std::uint64_t(1) << log) < side ? 1 : 0);
}

// A side at a level: halved `level` times, rounded down or up, at least 1.
std::uint64_t levelSide(std::uint64_t side, unsigned int level, unsigned int rounding)
{
    std::uint64_t halved = side >> level;
    if (rounding == 1 && (halved << level) < side)
        ++halved;
    return std::max<std::uint64_t>(halved, 1);
}

// A channel list: names with their type, linearity, reserved bytes and sampling, ended by an
// empty name. OpenEXR reads it to its end, whatever length the attribute declares.
// Adds up the bytes of a pixel (2 for half, 4 for float and unsigned).
bool wholeChannels(const unsigned char* value, size_t size, std::uint64_t& pixelBytes)
{
    size_t at = 0;
    while (at < size && value[at] != 0) {
        size_t name = textLength(value, size, at, 255);
        if (name == 0 || size - at - name - 1 < 16)
            return false;
        pixelBytes += ByteOrder::little32(value + at + name + 1) == 1 ? 2 : 4;
        at += name + 1 + 16;
    }
    return at + 1 == size;
}

bool isText(const unsigned char* value, size_t size, const char* text)
{
    return size == std::strlen(text) && std::memcmp(value, text, size) == 0;
}
}

// Attributes the decoder reads, with their types and sizes (0: any). OpenEXR reads a value of a
// type it knows by the type, not by the declared size, so a kept value of another size (or
// type) would set the rest of the header apart from what the guard reads: the file is refused.
ExrHeader::Attribute ExrHeader::attribute(
    const unsigned char* name, const unsigned char* type, const unsigned char* value, size_t size, Layout& layout)
{
    static const struct {
        const char* name;
        const char* type;
        size_t size;
    } kept[] = { { "channels", "chlist", 0 }, { "compression", "compression", 1 }, { "dataWindow", "box2i", 16 },
        { "displayWindow", "box2i", 16 }, { "lineOrder", "lineOrder", 1 }, { "pixelAspectRatio", "float", 4 },
        { "screenWindowCenter", "v2f", 8 }, { "screenWindowWidth", "float", 4 }, { "tiles", "tiledesc", 9 },
        { "chromaticities", "chromaticities", 32 }, { "type", "string", 0 } };
    const char* text = reinterpret_cast<const char*>(name);
    auto found = std::find_if(
        std::begin(kept), std::end(kept), [text](const auto& k) { return std::strcmp(text, k.name) == 0; });
    if (found == std::end(kept))
        return Attribute::dropped;
    if (std::strcmp(reinterpret_cast<const char*>(type), found->type) != 0 || (found->size && size != found->size)
        || (found->size == 0 && found->type[0] == 'c' && !wholeChannels(value, size, layout.pixelBytes)))
        return Attribute::malformed;
    if (std::strcmp(text, "type") == 0) {
        layout.tiled = isText(value, size, "tiledimage");
        layout.deep = !layout.tiled && !isText(value, size, "scanlineimage");
    }
    if (std::strcmp(text, "dataWindow") == 0) {
        layout.left = signed32(value);
        layout.top = signed32(value + 4);
        layout.right = signed32(value + 8);
        layout.bottom = signed32(value + 12);
    } else if (std::strcmp(text, "compression") == 0) {
        layout.compression = value[0];
    } else if (std::strcmp(text, "tiles") == 0) {
        layout.tileWidth = ByteOrder::little32(value);
        layout.tileHeight = ByteOrder::little32(value + 4);
        layout.levelMode = value[8] & 0x0F;
        layout.rounding = value[8] >> 4;
    }
    return Attribute::kept;
}

// Tiles of one level: its sides over the tile's sides, rounded up.
std::uint64_t ExrHeader::tiles(const Layout& layout, unsigned int levelX, unsigned int levelY)
{
    std::uint64_t width = levelSide(layout.right - layout.left + 1, levelX, layout.rounding);
    std::uint64_t height = levelSide(layout.bottom - layout.top + 1, levelY, layout.rounding);
    std::uint64_t across = (width + layout.tileWidth - 1) / layout.tileWidth;
    std::uint64_t down = (height + layout.tileHeight - 1) / layout.tileHeight;
    // More tiles than any file holds offsets for are as good as infinitely many.
    const std::uint64_t tooMany = std::uint64_t(1) << 40;
    return across > tooMany / down ? tooMany : across * down;
}

// The offset table's length: chunks of scan lines, or tiles over every level (one level, a
// mipmap's halvings of both sides together, or a ripmap's of each side alone). 0 when unknown.
std::uint64_t ExrHeader::chunks(const Layout& layout)
{
    std::uint64_t width = layout.right - layout.left + 1, height = layout.bottom - layout.top + 1;
    if (!layout.tiled)
        return (height + linesPerChunk[layout.compression] - 1) / linesPerChunk[layout.compression];
    if (layout.tileWidth == 0 || layout.tileHeight == 0 || layout.levelMode > 2 || layout.rounding > 1)
        return 0;
    unsigned int levelsX = layout.levelMode == 0 ? 1 : levels(std::max(width, height), layout.rounding);
    unsigned int levelsY = levelsX;
    if (layout.levelMode == 2) {
        levelsX = levels(width, layout.rounding);
        levelsY = levels(height, layout.rounding);
    }
    std::uint64_t count = 0;
    for (unsigned int x = 0; x < levelsX; ++x) {
        for (unsigned int y = 0; y < levelsY; ++y) {
            if (layout.levelMode == 2 || x == y)
                count += tiles(layout, x, y);
        }
    }
    return count;
}

// One header's attributes up to its empty name, appended to `out` when kept; without a layout
// only walked over. The end of the header, or 0 when it is malformed.
size_t ExrHeader::headerEnd(
    const unsigned char* data, size_t size, size_t at, size_t longest, Layout* layout, std::vector<unsigned char>& out)
{
    while (at < size && data[at] != 0) {
        size_t name = textLength(data, size, at, longest);
        size_t type = name ? textLength(data, size, at + name + 1, longest) : 0;
        size_t value = at + name + 1 + type + 1;
        if (type == 0 || size - value < 4 || ByteOrder::little32(data + value) > size - value - 4)
            return 0;
        size_t end = value + 4 + ByteOrder::little32(data + value);
        Attribute kind = layout ? attribute(data + at, data + at + name + 1, data + value + 4, end - value - 4, *layout)
                                : Attribute::dropped;
        if (kind == Attribute::malformed)
            return 0;
        if (kind == Attribute::kept)
            out.insert(out.end(), data + at, data + end);
        at = end;
    }
    return at < size ? at + 1 : 0;
}

// The chunks of the offset table at `table`, one after the other after the new table, each
// without the part number a file of several parts puts first: a scan line's y or a tile's four
// coordinates, the data's length, the data. False when one is not whole within the file.
bool ExrHeader::copyChunks(const unsigned char* data, size_t size, size_t table, std::uint64_t count, bool multipart,
    const Layout& layout, std::vector<unsigned char>& out)
{
    size_t part = multipart ? 4 : 0, head = (layout.tiled ? 16 : 4) + 4;
    size_t newTable = out.size();
    out.resize(newTable + static_cast<size_t>(count) * 8);
    for (size_t i = 0; i < count; ++i) {
        std::uint64_t at = little64(data + table + i * 8);
        if (at > size || size - at < part + head || (multipart && ByteOrder::little32(data + at) != 0))
            return false;
        const unsigned char* chunk = data + at + part;
        size_t length = ByteOrder::little32(chunk + head - 4);
        // Chunks never overlap: more bytes than the file are copies of the same ones.
        if (length > size - at - part - head || out.size() - newTable + head + length > size)
            return false;
        std::vector<unsigned char> offset;
        ByteOrder::putLittle32(offset, static_cast<std::uint32_t>(out.size()));
        ByteOrder::putLittle32(offset, 0);
        std::copy(offset.begin(), offset.end(), out.begin() + static_cast<std::ptrdiff_t>(newTable + i * 8));
        out.insert(out.end(), chunk, chunk + head + length);
    }
    return true;
}

void ExrHeader::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    // Magic, version 2 with flags, the headers (one, or one a part and an empty one), the
    // offset tables (the first part's first) and the chunks.
    if (size < 8 || std::memcmp(data, magic, 4) != 0 || data[4] != 2)
        return;
    std::uint32_t flags = ByteOrder::little32(data + 4) & ~0xFFu;
    bool multipart = (flags & multipartFlag) != 0;
    size_t longest = (flags & longNamesFlag) ? 255 : 31;
    Layout layout;
    layout.tiled = (flags & tiledFlag) != 0;
    layout.deep = (flags & deepFlag) != 0;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + 8);
    size_t at = headerEnd(data, size, 8, longest, &layout, out);
    while (multipart && at != 0 && at < size && data[at] != 0)
        at = headerEnd(data, size, at, longest, nullptr, out);
    at += multipart && at != 0 ? 1 : 0;
    std::uint64_t width = layout.right - layout.left + 1, height = layout.bottom - layout.top + 1;
    if (at == 0 || at > size || layout.deep || layout.right < layout.left || layout.bottom < layout.top
        || layout.compression < 0 || layout.compression >= static_cast<int>(std::size(linesPerChunk)))
        return;
    // FreeImage writes the rows of a tiled picture whose data window begins above row 0 past its
    // bitmap (a crash, found by fuzzing); it fails on scan-line pictures whose window does not
    // begin at row 0.
    if (layout.tiled && layout.top < 0)
        return;
    // The largest chunk, a tile or a block of lines, is held whole, and another as large.
    std::uint64_t chunkPixels = layout.tiled ? std::uint64_t(layout.tileWidth) * layout.tileHeight
                                             : width * linesPerChunk[layout.compression];
    if (layout.pixelBytes == 0 || chunkPixels > maxChunkBytes / layout.pixelBytes)
        return;
    out.push_back(0);
    out[5] = static_cast<unsigned char>((flags & longNamesFlag) >> 8 | (layout.tiled ? tiledFlag >> 8 : 0));
    std::uint64_t count = chunks(layout);
    if (count == 0 || count > (size - at) / 8 || !copyChunks(data, size, at, count, multipart, layout, out))
        return;
    picture.width = static_cast<unsigned int>(std::min<std::uint64_t>(width, UINT32_MAX));
    picture.height = static_cast<unsigned int>(std::min<std::uint64_t>(height, UINT32_MAX));
}
