#include "render/TiffDirectory.h"

#include "render/PictureFile.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {
const std::uint64_t missing = ~std::uint64_t(0);
// The entries the guard reads itself, and where it keeps their values.
const unsigned int measured[] = { 256, 257, 259, 322, 323, 258, 277 };
enum { width, length, compression, tileWidth, tileLength, bitsPerSample, samplesPerPixel };

// Entries that decoding reads, in tag order. Old-style JPEG (compression 6) also reads 512 to 521.
bool decodingReads(unsigned int tag, bool oldJpeg)
{
    static const unsigned int read[] = {
        256, 257, 258, 259, 262, 266, // size, bits, compression, photometric, fill order
        273, 274, 277, 278, 279, 284, // strips, orientation, samples, rows per strip, planar
        292, 293, 317, 318, 320, // fax options, predictor, white point, colour map
        322, 323, 324, 325, 332, 334, 336, // tiles, ink set, number of inks, dot range
        338, 339, 347, // extra samples, sample format, JPEG tables
        529, 530, 531, 532, // YCbCr coefficients, subsampling, positioning, reference black and white
        32995, // matteing, the old name of an alpha sample
    };
    return std::binary_search(std::begin(read), std::end(read), tag) || (oldJpeg && tag >= 512 && tag <= 521);
}

// One file's byte order and kind: classic TIFF has 4-byte offsets and 12-byte entries, BigTIFF
// 8-byte offsets and 20-byte entries.
struct Layout {
    const unsigned char* data;
    size_t size;
    bool little;
    bool big;

    // The caller has checked that the bytes are in the file.
    std::uint64_t read(size_t at, size_t bytes) const
    {
        std::uint64_t v = 0;
        for (size_t i = 0; i < bytes; ++i)
            v = (v << 8) | data[at + (little ? bytes - 1 - i : i)];
        return v;
    }
    void write(std::vector<unsigned char>& out, size_t at, std::uint64_t v, size_t bytes) const
    {
        for (size_t i = 0; i < bytes; ++i)
            out[at + (little ? i : bytes - 1 - i)] = static_cast<unsigned char>(v >> (8 * i));
    }
    size_t offsetBytes() const
    {
        return big ? 8 : 4;
    }
    size_t countBytes() const
    {
        return big ? 8 : 2;
    }
    size_t entryBytes() const
    {
        return big ? 20 : 12;
    }

    // The first value of an unsigned integer entry, inline or at its offset, or `missing`.
    std::uint64_t firstValue(size_t entry) const
    {
        size_t type = read(entry + 2, 2);
        size_t bytes = type == 1 ? 1 : type == 3 ? 2 : type == 4 ? 4 : type == 16 ? 8 : 0;
        std::uint64_t count = read(entry + 4, offsetBytes());
        if (bytes == 0 || count == 0)
            return missing;
        size_t at = entry + 4 + offsetBytes();
        if (count > offsetBytes() / bytes) {
            std::uint64_t offset = read(at, offsetBytes());
            if (offset > size || size - offset < bytes)
                return missing;
            at = static_cast<size_t>(offset);
        }
        return read(at, bytes);
    }
};

// A size, and tiles no larger than four pictures and a megapixel: FreeImage holds a whole
// tile, and a 16 x 16 picture of one 65520 x 65520 tile took it 4 GB and 14 s. One-bit samples
// come at most four a pixel: FreeImage reads no more, and eight or more abort it.
bool fits(const std::uint64_t* values)
{
    if (values[width] > UINT32_MAX || values[length] > UINT32_MAX)
        return false;
    // Without the entry, libtiff takes one bit a sample.
    bool oneBit = values[bitsPerSample] == 1 || values[bitsPerSample] == missing;
    if (oneBit && values[samplesPerPixel] != missing && values[samplesPerPixel] > 4)
        return false;
    if (values[tileWidth] == missing && values[tileLength] == missing)
        return true;
    return values[tileWidth] <= UINT32_MAX && values[tileLength] <= UINT32_MAX
        && values[tileWidth] * values[tileLength] / 4 <= values[width] * values[length] + (1 << 18);
}

// The header: byte order, 42 (classic) or 43 (BigTIFF, with offset size 8 and a zero), then the
// first directory's offset. 0 when the header is not one.
size_t firstDirectory(Layout& file)
{
    if (file.size < 16 || file.data[0] != file.data[1] || (file.data[0] != 'I' && file.data[0] != 'M'))
        return 0;
    file.little = file.data[0] == 'I';
    std::uint64_t version = file.read(2, 2);
    file.big = version == 43;
    if (version != 42 && !(file.big && file.read(4, 2) == 8 && file.read(6, 2) == 0))
        return 0;
    std::uint64_t first = file.read(file.big ? 8 : 4, file.offsetBytes());
    return first < file.size ? static_cast<size_t>(first) : 0;
}
}

void TiffDirectory::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    Layout file { data, size, false, false };
    size_t first = firstDirectory(file);
    if (first == 0 || size - first < file.countBytes() || size > UINT32_MAX / 2)
        return;
    std::uint64_t count = file.read(first, file.countBytes());
    size_t entries = first + file.countBytes();
    if (count > (size - entries) / file.entryBytes())
        return;
    // A repeated entry counts once, as libtiff reads it: the first.
    std::uint64_t values[std::size(measured)];
    std::fill(std::begin(values), std::end(values), missing);
    for (size_t i = 0; i < count; ++i) {
        size_t entry = entries + i * file.entryBytes();
        const unsigned int* tag = std::find(std::begin(measured), std::end(measured), file.read(entry, 2));
        if (tag != std::end(measured) && values[tag - measured] == missing)
            values[tag - measured] = file.firstValue(entry);
    }
    if (!fits(values))
        return;
    std::vector<unsigned char>& out = picture.bytes;
    out.assign(data, data + size);
    out.resize(size + size % 2 + file.countBytes());
    size_t directory = out.size() - file.countBytes();
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t entry = entries + i * file.entryBytes();
        if (decodingReads(static_cast<unsigned int>(file.read(entry, 2)), values[compression] == 6)) {
            out.insert(out.end(), data + entry, data + entry + file.entryBytes());
            ++kept;
        }
    }
    file.write(out, directory, kept, file.countBytes());
    out.resize(out.size() + file.offsetBytes(), 0);
    file.write(out, file.big ? 8 : 4, directory, file.offsetBytes());
    picture.width = static_cast<unsigned int>(values[width]);
    picture.height = static_cast<unsigned int>(values[length]);
}
