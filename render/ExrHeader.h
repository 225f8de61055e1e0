// The guard of OpenEXR files of scan lines or tiles, with one part or several (FreeImage reads
// the first part, and so does the copy). Of the header's attributes it keeps those that
// decoding reads (channels, compression, windows, line order, aspect, screen window, tiles,
// chromaticities, type) and drops the rest: previews, comments, owner, dates, lens and camera
// data, whatever a writer adds; the other parts go too. The chunks are copied after the new
// header and the offset table is written anew. The size is the data window's. Deep files,
// which FreeImage cannot read, are refused, and so are chunks past a bound and tiled pictures
// whose data window begins above row 0 (see keep()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PictureFile;

class ExrHeader {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);

private:
    // What the kept attributes say, as far as the guard needs it.
    struct Layout {
        std::int64_t left = 0, top = 0, right = -1, bottom = -1;
        int compression = -1;
        bool tiled = false;
        bool deep = false;
        std::uint32_t tileWidth = 0, tileHeight = 0;
        unsigned int levelMode = 0, rounding = 0;
        // Bytes of one pixel of every channel.
        std::uint64_t pixelBytes = 0;
    };
    enum class Attribute { kept, dropped, malformed };
    static Attribute attribute(
        const unsigned char* name, const unsigned char* type, const unsigned char* value, size_t size, Layout& layout);
    static size_t headerEnd(const unsigned char* data, size_t size, size_t at, size_t longest, Layout* layout,
        std::vector<unsigned char>& out);
    static bool copyChunks(const unsigned char* data, size_t size, size_t table, std::uint64_t count, bool multipart,
        const Layout& layout, std::vector<unsigned char>& out);
    static std::uint64_t chunks(const Layout& layout);
    static std::uint64_t tiles(const Layout& layout, unsigned int levelX, unsigned int levelY);
};
