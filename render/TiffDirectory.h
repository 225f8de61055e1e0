// The guard of TIFF files, classic and BigTIFF in either byte order. FreeImage decodes the first
// directory only; of its entries the guard keeps those that decoding reads (size, samples,
// compression and its tables, strips or tiles, colour map, YCbCr and ink settings, and the
// old-style JPEG entries when the compression is old-style JPEG) and drops the rest: Exif, GPS
// and sub-directories, XMP, IPTC, Photoshop and ICC blocks, texts, dates and resolution. The
// file's bytes stay as they are, so every offset stays valid; a new first directory with the
// kept entries is appended and the header points at it. The size is the directory's own.
#pragma once

#include <cstddef>

class PictureFile;

class TiffDirectory {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
