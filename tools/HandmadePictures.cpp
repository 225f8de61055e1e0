#include "HandmadePictures.h"

#include "PictureSamples.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <jpeglib.h>

namespace {
const unsigned int w = PictureSamples::width;
const unsigned int h = PictureSamples::height;

using Bytes = std::vector<unsigned char>;

void little16(Bytes& out, unsigned int v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void little32(Bytes& out, unsigned int v)
{
    little16(out, v & 0xFFFF);
    little16(out, v >> 16);
}

void big16(Bytes& out, unsigned int v)
{
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void big32(Bytes& out, unsigned int v)
{
    big16(out, v >> 16);
    big16(out, v & 0xFFFF);
}

void text(Bytes& out, const char* s)
{
    while (*s)
        out.push_back(static_cast<unsigned char>(*s++));
}

void zeros(Bytes& out, size_t count)
{
    out.insert(out.end(), count, 0);
}

unsigned char rgbOf(unsigned int x, unsigned int y, int channel)
{
    unsigned char rgb[3];
    HandmadePictures::colour(HandmadePictures::index(x, y), rgb);
    return rgb[channel];
}

// PackBits / ByteRun1 of one row, as literal runs of at most 128 bytes.
Bytes packLiterally(const Bytes& row)
{
    Bytes packed;
    for (size_t at = 0; at < row.size(); at += 128) {
        size_t count = std::min<size_t>(128, row.size() - at);
        packed.push_back(static_cast<unsigned char>(count - 1));
        packed.insert(packed.end(), row.begin() + at, row.begin() + at + count);
    }
    return packed;
}
}

namespace {
// Integers of either byte order, as TIFF files of both kinds hold them.
void put(Bytes& out, unsigned long long v, size_t bytes, bool motorola)
{
    for (size_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * (motorola ? bytes - 1 - i : i))));
}

// An RGB TIFF of the pattern, uncompressed, in one strip or one 16 x 16 tile; classic or
// BigTIFF, either byte order; with a description and a software name the guard drops.
Bytes tiff(bool bigTiff, bool motorola, bool tiled)
{
    size_t word = bigTiff ? 8 : 4;
    Bytes out = { static_cast<unsigned char>(motorola ? 'M' : 'I'), static_cast<unsigned char>(motorola ? 'M' : 'I') };
    put(out, bigTiff ? 43 : 42, 2, motorola);
    if (bigTiff)
        put(out, 8, 2, motorola), put(out, 0, 2, motorola);
    size_t firstAt = out.size();
    put(out, 0, word, motorola);
    unsigned int across = tiled ? 16 : w, down = tiled ? 16 : h;
    size_t pixels = out.size();
    for (unsigned int y = 0; y < down; ++y)
        for (unsigned int x = 0; x < across; ++x)
            for (int c = 0; c < 3; ++c)
                out.push_back(x < w && y < h ? rgbOf(x, y, c) : 0);
    size_t bits = out.size();
    put(out, 8, 2, motorola), put(out, 8, 2, motorola), put(out, 8, 2, motorola);
    size_t description = out.size();
    text(out, "a sample, with a description the guard drops");
    out.push_back(0);
    struct Entry {
        unsigned int tag, type;
        unsigned long long count, value;
    };
    unsigned long long pixelBytes = across * down * 3ull;
    std::vector<Entry> entries = { { 256, 3, 1, w }, { 257, 3, 1, h }, { 258, 3, 3, bigTiff ? 8 : bits },
        { 259, 3, 1, 1 }, { 262, 3, 1, 2 }, { 270, 2, 46, description }, { 277, 3, 1, 3 }, { 284, 3, 1, 1 } };
    if (tiled)
        entries.insert(
            entries.end(), { { 322, 3, 1, 16 }, { 323, 3, 1, 16 }, { 324, 4, 1, pixels }, { 325, 4, 1, pixelBytes } });
    else
        entries.insert(entries.begin() + 6, { { 273, 4, 1, pixels } }),
            entries.insert(entries.begin() + 8, { { 278, 3, 1, h }, { 279, 4, 1, pixelBytes } });
    if (out.size() % 2)
        out.push_back(0);
    size_t first = out.size();
    for (size_t i = 0; i < word; ++i)
        out[firstAt + i] = static_cast<unsigned char>(first >> (8 * (motorola ? word - 1 - i : i)));
    put(out, entries.size(), bigTiff ? 8 : 2, motorola);
    for (const Entry& e : entries) {
        put(out, e.tag, 2, motorola), put(out, e.type, 2, motorola), put(out, e.count, word, motorola);
        // Values that fit in the entry stand in it, left-aligned; others are where it points.
        size_t bytes = (e.type == 3 ? 2 : e.type == 4 ? 4 : 1) * e.count;
        if (bytes > word) {
            put(out, e.value, word, motorola);
            continue;
        }
        for (unsigned long long i = 0; i < e.count; ++i)
            put(out, e.value, bytes / e.count, motorola);
        put(out, 0, word - bytes, motorola);
    }
    put(out, 0, word, motorola);
    return out;
}

// An OpenEXR attribute: name, type, the value's length, the value.
void exrAttribute(Bytes& out, const char* name, const char* type, const Bytes& value)
{
    text(out, name), out.push_back(0), text(out, type), out.push_back(0);
    little32(out, static_cast<unsigned int>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

// The attributes every OpenEXR part has, for half B, G and R channels, and a comment.
void exrHeader(Bytes& out, unsigned char compression)
{
    Bytes channels;
    for (const char* name : { "B", "G", "R" }) {
        text(channels, name), channels.push_back(0);
        little32(channels, 1), little32(channels, 0), little32(channels, 1), little32(channels, 1);
    }
    channels.push_back(0);
    Bytes window;
    little32(window, 0), little32(window, 0), little32(window, w - 1), little32(window, h - 1);
    Bytes one, centre(8, 0);
    little32(one, 0x3F800000);
    exrAttribute(out, "channels", "chlist", channels);
    exrAttribute(out, "comments", "string", { 'h', 'a', 'n', 'd', 'm', 'a', 'd', 'e' });
    exrAttribute(out, "compression", "compression", { compression });
    exrAttribute(out, "dataWindow", "box2i", window);
    exrAttribute(out, "displayWindow", "box2i", window);
    exrAttribute(out, "lineOrder", "lineOrder", { 0 });
    exrAttribute(out, "pixelAspectRatio", "float", one);
    exrAttribute(out, "screenWindowCenter", "v2f", centre);
    exrAttribute(out, "screenWindowWidth", "float", one);
}

// The pattern's channel as a half: n / 16 has an exact half, exponent and ten bits.
unsigned int half(unsigned int x, unsigned int y, int channel)
{
    unsigned int n = rgbOf(x, y, channel) / 16;
    if (n == 0)
        return 0;
    int exponent = 0;
    while ((n << exponent) < 16)
        ++exponent;
    unsigned int mantissa = ((n << exponent) - 16) << 6;
    return static_cast<unsigned int>((15 - exponent) << 10) | mantissa;
}

// Lines [top, top + count) of columns [left, left + across) of the pattern, channel by channel
// (B, G, R) in each line, or a flat grey for the picture's smaller levels.
Bytes exrLines(unsigned int left, unsigned int top, unsigned int across, unsigned int count, bool pattern)
{
    Bytes out;
    for (unsigned int y = top; y < top + count; ++y)
        for (int channel = 2; channel >= 0; --channel)
            for (unsigned int x = left; x < left + across; ++x)
                little16(out, pattern ? half(x, y, channel) : 0x3800);
    return out;
}

void exrOffsets(Bytes& out, size_t table, const std::vector<size_t>& chunks)
{
    for (size_t i = 0; i < chunks.size(); ++i)
        for (int b = 0; b < 8; ++b)
            out[table + i * 8 + b] = static_cast<unsigned char>(static_cast<unsigned long long>(chunks[i]) >> (8 * b));
}

// Tiles of 8 x 8 over a mipmap rounded down: 13 x 7, 6 x 3, 3 x 1 and 1 x 1, five tiles.
Bytes exrTiled()
{
    Bytes out = { 0x76, 0x2F, 0x31, 0x01, 2, 0x02, 0, 0 };
    exrHeader(out, 0);
    exrAttribute(out, "tiles", "tiledesc", { 8, 0, 0, 0, 8, 0, 0, 0, 1 });
    out.push_back(0);
    const unsigned int tiles[5][6]
        = { { 0, 0, 0, 8, 7 }, { 1, 0, 0, 5, 7 }, { 0, 0, 1, 6, 3 }, { 0, 0, 2, 3, 1 }, { 0, 0, 3, 1, 1 } };
    size_t table = out.size();
    out.resize(table + 5 * 8);
    std::vector<size_t> chunks;
    for (const auto& t : tiles) {
        chunks.push_back(out.size());
        little32(out, t[0]), little32(out, t[1]), little32(out, t[2]), little32(out, t[2]);
        Bytes data = exrLines(t[0] * 8, 0, t[3], t[4], t[2] == 0);
        little32(out, static_cast<unsigned int>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    exrOffsets(out, table, chunks);
    return out;
}

// Two parts of scan lines, uncompressed; FreeImage shows the first.
Bytes exrTwoParts()
{
    Bytes out = { 0x76, 0x2F, 0x31, 0x01, 2, 0x10, 0, 0 };
    for (const char* name : { "first", "second" }) {
        exrHeader(out, 0);
        Bytes count, type;
        little32(count, h);
        text(type, "scanlineimage");
        exrAttribute(out, "chunkCount", "int", count);
        exrAttribute(out, "name", "string", Bytes(name, name + std::char_traits<char>::length(name)));
        exrAttribute(out, "type", "string", type);
        out.push_back(0);
    }
    out.push_back(0);
    size_t table = out.size();
    out.resize(table + 2 * h * 8);
    std::vector<size_t> chunks;
    for (unsigned int part = 0; part < 2; ++part) {
        for (unsigned int y = 0; y < h; ++y) {
            chunks.push_back(out.size());
            Bytes data = exrLines(0, y, w, 1, part == 0);
            little32(out, part), little32(out, y), little32(out, static_cast<unsigned int>(data.size()));
            out.insert(out.end(), data.begin(), data.end());
        }
    }
    exrOffsets(out, table, chunks);
    return out;
}
}

HandmadePictures::HandmadePictures(const std::string& folder)
    : folder(folder)
{
}

unsigned char HandmadePictures::index(unsigned int x, unsigned int y)
{
    return static_cast<unsigned char>((x + y * 3) % 16);
}

void HandmadePictures::colour(unsigned char index, unsigned char rgb[3])
{
    rgb[0] = static_cast<unsigned char>(index * 16 + 8);
    rgb[1] = static_cast<unsigned char>(255 - index * 15);
    rgb[2] = static_cast<unsigned char>((index * 37 + 20) % 256);
}

bool HandmadePictures::write(const std::string& name, const Bytes& bytes) const
{
    std::ofstream file(folder + "/" + name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool HandmadePictures::writeAll() const
{
    return write("pcx-8-rle.pcx", pcx8()) && write("pcx-24-rle.pcx", pcx24()) && write("ras-8.ras", sunRaster(8, false))
        && write("ras-24.ras", sunRaster(24, false)) && write("ras-8-rle.ras", sunRaster(8, true))
        && write("cut-8-rle.cut", halo()) && write("xbm-1.xbm", xbm()) && write("dds-32.dds", dds(false))
        && write("dds-dxt1.dds", dds(true)) && write("sgi-8.sgi", sgi(1, false))
        && write("sgi-24-rle.sgi", sgi(3, true)) && write("koala.koa", koala()) && write("iff-8.iff", iff(8, false))
        && write("iff-4-byterun.lbm", iff(4, true)) && write("pict-8.pct", pict()) && write("bmp-4-rle.bmp", bmpRle(4))
        && write("bmp-8-rle.bmp", bmpRle(8)) && write("jpeg-cmyk.jpg", jpegCmyk())
        && write("tiff-24-bigtiff.tif", tiff(true, false, false))
        && write("tiff-24-tiled-motorola.tif", tiff(false, true, true))
        && write("tiff-24-bigtiff-motorola-tiled.tif", tiff(true, true, true))
        && write("exr-half-tiled.exr", exrTiled()) && write("exr-half-two-parts.exr", exrTwoParts());
}

std::vector<unsigned char> HandmadePictures::pcx8() const
{
    Bytes out = { 0x0A, 5, 1, 8 };
    little16(out, 0), little16(out, 0), little16(out, w - 1), little16(out, h - 1);
    little16(out, 72), little16(out, 72);
    zeros(out, 48 + 1);
    out.push_back(1); // planes
    little16(out, w + 1); // bytes per line, even
    little16(out, 1);
    zeros(out, 128 - out.size());
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w + 1; ++x) {
            unsigned char v = x < w ? index(x, y) : 0;
            // Runs of one: values with both high bits set need the run form.
            out.push_back(0xC1);
            out.push_back(v);
        }
    }
    out.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        unsigned char rgb[3] = { 0, 0, 0 };
        if (i < 16)
            colour(static_cast<unsigned char>(i), rgb);
        out.insert(out.end(), rgb, rgb + 3);
    }
    return out;
}

std::vector<unsigned char> HandmadePictures::pcx24() const
{
    Bytes out = { 0x0A, 5, 1, 8 };
    little16(out, 0), little16(out, 0), little16(out, w - 1), little16(out, h - 1);
    little16(out, 72), little16(out, 72);
    zeros(out, 48 + 1);
    out.push_back(3);
    little16(out, w + 1);
    little16(out, 1);
    zeros(out, 128 - out.size());
    for (unsigned int y = 0; y < h; ++y) {
        for (int channel = 0; channel < 3; ++channel) {
            for (unsigned int x = 0; x < w + 1; ++x) {
                out.push_back(0xC1);
                out.push_back(x < w ? rgbOf(x, y, channel) : 0);
            }
        }
    }
    return out;
}

std::vector<unsigned char> HandmadePictures::sunRaster(int depth, bool rle) const
{
    Bytes data;
    unsigned int rowBytes = w * (depth / 8);
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            if (depth == 8) {
                data.push_back(index(x, y));
            } else {
                for (int channel = 2; channel >= 0; --channel)
                    data.push_back(rgbOf(x, y, channel));
            }
        }
        if (rowBytes % 2)
            data.push_back(0);
    }
    if (rle) {
        // A run of one escape byte stands for itself; every other byte is literal.
        Bytes encoded;
        for (unsigned char b : data) {
            encoded.push_back(b);
            if (b == 0x80)
                encoded.push_back(0);
        }
        data = encoded;
    }
    Bytes out;
    big32(out, 0x59A66A95), big32(out, w), big32(out, h), big32(out, static_cast<unsigned int>(depth));
    big32(out, static_cast<unsigned int>(data.size())), big32(out, rle ? 2 : 1);
    big32(out, depth == 8 ? 1 : 0), big32(out, depth == 8 ? 48 : 0);
    if (depth == 8) {
        for (int channel = 0; channel < 3; ++channel) {
            for (unsigned char i = 0; i < 16; ++i) {
                unsigned char rgb[3];
                colour(i, rgb);
                out.push_back(rgb[channel]);
            }
        }
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<unsigned char> HandmadePictures::halo() const
{
    Bytes out;
    little16(out, w), little16(out, h), little16(out, 0);
    for (unsigned int y = 0; y < h; ++y) {
        Bytes line = { static_cast<unsigned char>(w) };
        for (unsigned int x = 0; x < w; ++x)
            line.push_back(static_cast<unsigned char>(index(x, y) * 16));
        line.push_back(0);
        little16(out, static_cast<unsigned int>(line.size()));
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::vector<unsigned char> HandmadePictures::xbm() const
{
    std::string s = "#define sample_width 13\n#define sample_height 7\nstatic char sample_bits[] = {\n";
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int byte = 0; byte < (w + 7) / 8; ++byte) {
            unsigned int bits = 0;
            for (unsigned int bit = 0; bit < 8 && byte * 8 + bit < w; ++bit)
                bits |= (index(byte * 8 + bit, y) & 1u) << bit;
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x, ", bits);
            s += hex;
        }
        s += "\n";
    }
    s += "};\n";
    return Bytes(s.begin(), s.end());
}

std::vector<unsigned char> HandmadePictures::dds(bool dxt1) const
{
    Bytes out;
    text(out, "DDS ");
    little32(out, 124);
    little32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (dxt1 ? 0x80000 : 0x8));
    little32(out, h), little32(out, w);
    little32(out, dxt1 ? ((w + 3) / 4) * ((h + 3) / 4) * 8 : w * 4);
    little32(out, 0), little32(out, 1);
    zeros(out, 44);
    little32(out, 32);
    if (dxt1) {
        little32(out, 0x4);
        text(out, "DXT1");
        zeros(out, 20);
    } else {
        little32(out, 0x40 | 0x1);
        little32(out, 0);
        little32(out, 32), little32(out, 0x00FF0000), little32(out, 0x0000FF00), little32(out, 0x000000FF);
        little32(out, 0xFF000000);
    }
    little32(out, 0x1000);
    zeros(out, 16);
    if (dxt1) {
        // Each 4 x 4 block: two 5-6-5 end colours and two bits per pixel choosing between them.
        for (unsigned int block = 0; block < ((w + 3) / 4) * ((h + 3) / 4); ++block) {
            little16(out, 0xF800 | (block * 0x0841 & 0x07FF)), little16(out, 0x001F + block);
            little32(out, 0x1B1B1B1Bu * (block % 3 + 1));
        }
        return out;
    }
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            out.push_back(rgbOf(x, y, 2)), out.push_back(rgbOf(x, y, 1)), out.push_back(rgbOf(x, y, 0));
            out.push_back(static_cast<unsigned char>(255 - x * 10));
        }
    }
    return out;
}

std::vector<unsigned char> HandmadePictures::sgi(int channels, bool rle) const
{
    Bytes out;
    big16(out, 474);
    out.push_back(rle ? 1 : 0), out.push_back(1);
    big16(out, channels == 1 ? 2 : 3), big16(out, w), big16(out, h), big16(out, static_cast<unsigned int>(channels));
    big32(out, 0), big32(out, 255);
    zeros(out, 4);
    text(out, "sample");
    zeros(out, 80 - 6);
    big32(out, 0);
    zeros(out, 512 - out.size());
    // Rows run bottom first, one plane after another.
    auto row = [&](int channel, unsigned int y) {
        Bytes r;
        for (unsigned int x = 0; x < w; ++x)
            r.push_back(
                channels == 1 ? static_cast<unsigned char>(index(x, h - 1 - y) * 16) : rgbOf(x, h - 1 - y, channel));
        return r;
    };
    if (!rle) {
        for (int channel = 0; channel < channels; ++channel)
            for (unsigned int y = 0; y < h; ++y) {
                Bytes r = row(channel, y);
                out.insert(out.end(), r.begin(), r.end());
            }
        return out;
    }
    unsigned int rows = h * static_cast<unsigned int>(channels);
    unsigned int rowBytes = w + 2; // one literal run of the row and the end mark
    for (unsigned int i = 0; i < rows; ++i)
        big32(out, 512 + rows * 8 + i * rowBytes);
    for (unsigned int i = 0; i < rows; ++i)
        big32(out, rowBytes);
    for (int channel = 0; channel < channels; ++channel)
        for (unsigned int y = 0; y < h; ++y) {
            Bytes r = row(channel, y);
            out.push_back(static_cast<unsigned char>(0x80 | w));
            out.insert(out.end(), r.begin(), r.end());
            out.push_back(0);
        }
    return out;
}

std::vector<unsigned char> HandmadePictures::koala() const
{
    // Load address, 8000 bytes of bitmap, 1000 of screen and 1000 of colour memory, background.
    Bytes out = { 0x00, 0x60 };
    for (int i = 0; i < 8000; ++i)
        out.push_back(static_cast<unsigned char>((i * 37) ^ (i >> 3)));
    for (int i = 0; i < 1000; ++i)
        out.push_back(static_cast<unsigned char>(i * 7 % 256));
    for (int i = 0; i < 1000; ++i)
        out.push_back(static_cast<unsigned char>(i % 16));
    out.push_back(6);
    return out;
}

std::vector<unsigned char> HandmadePictures::iff(int planes, bool byteRun) const
{
    Bytes body;
    unsigned int rowBytes = ((w + 15) / 16) * 2;
    for (unsigned int y = 0; y < h; ++y) {
        for (int plane = 0; plane < planes; ++plane) {
            Bytes row(rowBytes, 0);
            for (unsigned int x = 0; x < w; ++x)
                if ((index(x, y) >> plane) & 1)
                    row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            Bytes encoded = byteRun ? packLiterally(row) : row;
            body.insert(body.end(), encoded.begin(), encoded.end());
        }
    }
    Bytes out;
    text(out, "FORM");
    size_t sizeAt = out.size();
    big32(out, 0);
    text(out, "ILBM");
    text(out, "BMHD");
    big32(out, 20);
    big16(out, w), big16(out, h), big16(out, 0), big16(out, 0);
    out.push_back(static_cast<unsigned char>(planes)), out.push_back(0), out.push_back(byteRun ? 1 : 0);
    out.push_back(0);
    big16(out, 0);
    out.push_back(10), out.push_back(11);
    big16(out, w), big16(out, h);
    text(out, "CMAP");
    big32(out, 3u << planes);
    for (unsigned int i = 0; i < (1u << planes); ++i) {
        unsigned char rgb[3];
        colour(static_cast<unsigned char>(i % 16), rgb);
        out.insert(out.end(), rgb, rgb + 3);
    }
    text(out, "BODY");
    big32(out, static_cast<unsigned int>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
    unsigned int form = static_cast<unsigned int>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[sizeAt + i] = static_cast<unsigned char>(form >> (24 - 8 * i));
    return out;
}

std::vector<unsigned char> HandmadePictures::pict() const
{
    Bytes out(512, 0);
    big16(out, 0);
    big16(out, 0), big16(out, 0), big16(out, h), big16(out, w); // frame: top, left, bottom, right
    big16(out, 0x0011), big16(out, 0x02FF);
    big16(out, 0x0C00);
    big16(out, 0xFFFE), big16(out, 0);
    big32(out, 0x00480000), big32(out, 0x00480000);
    big16(out, 0), big16(out, 0), big16(out, h), big16(out, w);
    big32(out, 0);
    big16(out, 0x0001); // clip region: size and bounds
    big16(out, 10), big16(out, 0), big16(out, 0), big16(out, h), big16(out, w);
    // PackBitsRect: an indexed pixel map, its colour table, source and destination, rows.
    big16(out, 0x0098);
    unsigned int rowBytes = w + 1;
    big16(out, 0x8000 | rowBytes);
    big16(out, 0), big16(out, 0), big16(out, h), big16(out, w);
    big16(out, 0), big16(out, 0), big32(out, 0);
    big32(out, 0x00480000), big32(out, 0x00480000);
    big16(out, 0), big16(out, 8), big16(out, 1), big16(out, 8);
    big32(out, 0), big32(out, 0), big32(out, 0);
    big32(out, 0), big16(out, 0), big16(out, 15);
    for (unsigned int i = 0; i < 16; ++i) {
        unsigned char rgb[3];
        colour(static_cast<unsigned char>(i), rgb);
        big16(out, i);
        for (unsigned char c : rgb)
            big16(out, c * 257u);
    }
    for (int rect = 0; rect < 2; ++rect)
        big16(out, 0), big16(out, 0), big16(out, h), big16(out, w);
    big16(out, 0);
    for (unsigned int y = 0; y < h; ++y) {
        Bytes row;
        for (unsigned int x = 0; x < rowBytes; ++x)
            row.push_back(x < w ? index(x, y) : 0);
        Bytes packed = packLiterally(row);
        out.push_back(static_cast<unsigned char>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    if (out.size() % 2)
        out.push_back(0);
    big16(out, 0x00FF);
    return out;
}

std::vector<unsigned char> HandmadePictures::bmpRle(int bits) const
{
    Bytes data;
    // Bottom row first, in encoded runs: a count and the index (two alternating nibbles for
    // 4 bits), each row closed by an end of line.
    for (unsigned int y = h; y-- > 0;) {
        for (unsigned int x = 0; x < w; x += bits == 4 ? 2 : 1) {
            bool pair = bits == 4 && x + 1 < w;
            data.push_back(static_cast<unsigned char>(pair ? 2 : 1));
            unsigned char value = index(x, y);
            data.push_back(bits == 4 ? static_cast<unsigned char>(value << 4 | (pair ? index(x + 1, y) : 0)) : value);
        }
        data.push_back(0), data.push_back(0);
    }
    data.back() = 1; // the last end of line becomes the end of the picture
    Bytes out = { 'B', 'M' };
    unsigned int offset = 14 + 40 + 16 * 4;
    little32(out, offset + static_cast<unsigned int>(data.size())), little32(out, 0), little32(out, offset);
    little32(out, 40), little32(out, w), little32(out, h);
    little16(out, 1), little16(out, static_cast<unsigned int>(bits));
    little32(out, bits == 4 ? 2 : 1), little32(out, static_cast<unsigned int>(data.size()));
    little32(out, 2835), little32(out, 2835), little32(out, 16), little32(out, 0);
    for (unsigned char i = 0; i < 16; ++i) {
        unsigned char rgb[3];
        colour(i, rgb);
        out.push_back(rgb[2]), out.push_back(rgb[1]), out.push_back(rgb[0]), out.push_back(0);
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<unsigned char> HandmadePictures::jpegCmyk() const
{
    // FreeImage writes no CMYK JPEG: libjpeg does, with the Adobe segment that says so.
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = w;
    info.image_height = h;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (unsigned int y = 0; y < h; ++y) {
        Bytes row;
        for (unsigned int x = 0; x < w; ++x)
            for (int channel = 0; channel < 3; ++channel)
                row.push_back(static_cast<unsigned char>(255 - rgbOf(x, y, channel)));
        for (unsigned int x = w; x-- > 0;)
            row.insert(row.begin() + x * 3 + 3, static_cast<unsigned char>(x * 9));
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}
