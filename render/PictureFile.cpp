#include "render/PictureFile.h"

#include "render/ExrHeader.h"
#include "render/FixedHeaders.h"
#include "render/GifBlocks.h"
#include "render/IconDirectory.h"
#include "render/IffChunks.h"
#include "render/Jpeg2000Stream.h"
#include "render/JpegStream.h"
#include "render/MngChunks.h"
#include "render/NetpbmHeader.h"
#include "render/PictureHeader.h"
#include "render/PngStream.h"
#include "render/PsdSections.h"
#include "render/RegularFile.h"
#include "render/SunRaster.h"
#include "render/TargaFile.h"
#include "render/TiffDirectory.h"
#include "render/WebpChunks.h"
#include "render/XbmText.h"

#include <FreeImage.h>

PictureFile PictureFile::read(const std::string& path)
{
    std::vector<unsigned char> file;
    if (!RegularFile::read(path, maxFileBytes, file))
        return PictureFile();
    return fromBytes(file.data(), file.size(), path);
}

PictureFile PictureFile::fromBytes(const unsigned char* data, size_t size, const std::string& name)
{
    PictureFile picture;
    picture.format = formatOf(data, size, name);
    picture.keep(data, size);
    if (picture.width == 0 || picture.height == 0 || picture.bytes.empty()) {
        picture.format = -1;
        picture.bytes.clear();
    }
    return picture;
}

bool PictureFile::fits(size_t maxPixels) const
{
    return known() && width >= 1 && height >= 1 && width <= maxSide && height <= maxSide
        && static_cast<size_t>(width) * height <= maxPixels;
}

// As FreeImage finds a file's type: the first format whose signature check takes the content,
// else the extension. Camera raw files are left out: their check runs the raw decoder itself.
int PictureFile::formatOf(const unsigned char* data, size_t size, const std::string& name)
{
    if (size == 0)
        return -1;
    FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    if (!memory)
        return -1;
    int found = FIF_UNKNOWN;
    for (int format = 0; format < FreeImage_GetFIFCount() && found == FIF_UNKNOWN; ++format) {
        if (format != FIF_RAW && FreeImage_ValidateFromMemory(static_cast<FREE_IMAGE_FORMAT>(format), memory))
            found = format;
    }
    FreeImage_CloseMemory(memory);
    if (found == FIF_UNKNOWN && !name.empty())
        found = FreeImage_GetFIFFromFilename(name.c_str());
    if (found == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(static_cast<FREE_IMAGE_FORMAT>(found)))
        return -1;
    return found;
}

void PictureFile::keep(const unsigned char* data, size_t size)
{
    switch (format) {
    case FIF_PNG:
        return PngStream::keep(data, size, *this);
    case FIF_JPEG:
        return JpegStream::keep(data, size, *this);
    case FIF_JNG:
    case FIF_MNG:
        return MngChunks::keep(data, size, *this);
    case FIF_ICO:
        return IconDirectory::keep(data, size, *this);
    case FIF_GIF:
        return GifBlocks::keep(data, size, *this);
    case FIF_TIFF:
        return TiffDirectory::keep(data, size, *this);
    case FIF_PSD:
        return PsdSections::keep(data, size, *this);
    case FIF_WEBP:
        return WebpChunks::keep(data, size, *this);
    case FIF_TARGA:
        return TargaFile::keep(data, size, *this);
    case FIF_IFF:
        return IffChunks::keep(data, size, *this);
    case FIF_XBM:
        return XbmText::keep(data, size, *this);
    case FIF_J2K:
    case FIF_JP2:
        return Jpeg2000Stream::keep(data, size, *this);
    case FIF_EXR:
        return ExrHeader::keep(data, size, *this);
    case FIF_DDS:
    case FIF_SGI:
    case FIF_WBMP:
    case FIF_KOALA:
    case FIF_HDR:
    case FIF_CUT:
        return FixedHeaders::keep(data, size, *this);
    case FIF_PBM:
    case FIF_PBMRAW:
    case FIF_PGM:
    case FIF_PGMRAW:
    case FIF_PPM:
    case FIF_PPMRAW:
    case FIF_PFM:
        return NetpbmHeader::keep(data, size, *this);
    case FIF_RAS:
        return SunRaster::keep(data, size, *this);
    case FIF_BMP:
    case FIF_PCX:
    case FIF_XPM:
    case FIF_PCD:
        // Formats without metadata, whose header FreeImage reads without decoding.
        bytes.assign(data, data + size);
        PictureHeader::measure(*this);
        return;
    default:
        // PICT, camera raw and JPEG XR are refused: see the table of bad files.
        return;
    }
}
