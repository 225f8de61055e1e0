#include "PictureSamples.h"

#include "HandmadePictures.h"

#include <FreeImage.h>

#include <cstring>
#include <fstream>
#include <iostream>

namespace {
// Takes ownership of a converted picture and frees it after saving.
struct Owned {
    FIBITMAP* picture;
    ~Owned()
    {
        if (picture)
            FreeImage_Unload(picture);
    }
};

void putBig32(std::vector<unsigned char>& out, unsigned int value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

// One PNG chunk: length, type, data and the CRC of type and data.
std::vector<unsigned char> pngChunk(const char* type, const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> chunk;
    putBig32(chunk, static_cast<unsigned int>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    DWORD crc = FreeImage_ZLibCRC32(0, chunk.data() + 4, static_cast<DWORD>(data.size() + 4));
    putBig32(chunk, crc);
    return chunk;
}

std::vector<unsigned char> big32s(std::initializer_list<unsigned int> values)
{
    std::vector<unsigned char> out;
    for (unsigned int value : values)
        putBig32(out, value);
    return out;
}

// A minimal RGB display profile: a header and an empty tag table.
std::vector<unsigned char> compressedProfile()
{
    std::vector<unsigned char> profile(132, 0);
    profile[3] = 132;
    std::memcpy(&profile[12], "mntrRGB XYZ ", 12);
    std::memcpy(&profile[36], "acsp", 4);
    profile[8] = 2;
    profile[68] = 0x00; // D50 illuminant, roughly
    profile[70] = 0xF6;
    profile[71] = 0xD6;
    profile[73] = 0x01;
    profile[78] = 0xD3;
    profile[79] = 0x2D;
    std::vector<unsigned char> packed(256);
    DWORD size = FreeImage_ZLibCompress(packed.data(), 256, profile.data(), 132);
    packed.resize(size);
    std::vector<unsigned char> data = { 'i', 'c', 'c', 0, 0 };
    data.insert(data.end(), packed.begin(), packed.end());
    return data;
}

std::vector<unsigned char> savedToMemory(FIBITMAP* picture, FREE_IMAGE_FORMAT format, int flags)
{
    std::vector<unsigned char> bytes;
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (FreeImage_SaveToMemory(format, picture, memory, flags)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        FreeImage_AcquireMemory(memory, &data, &size);
        bytes.assign(data, data + size);
    }
    FreeImage_CloseMemory(memory);
    return bytes;
}

FIBITMAP* palette8(FIBITMAP* source, int transparentIndex)
{
    Owned rgb { FreeImage_ConvertTo24Bits(source) };
    FIBITMAP* quantized = FreeImage_ColorQuantize(rgb.picture, FIQ_WUQUANT);
    if (quantized && transparentIndex >= 0)
        FreeImage_SetTransparentIndex(quantized, transparentIndex);
    return quantized;
}
}

PictureSamples::PictureSamples(const std::string& folder)
    : folder(folder)
{
}

FIBITMAP* PictureSamples::source()
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 32);
    for (unsigned int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(picture, y);
        for (unsigned int x = 0; x < width; ++x) {
            row[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(x * 19 + 7);
            row[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 36 + 11);
            row[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>((x * y * 23 + 40) % 256);
            row[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(x == 0 || y == 0 ? 0 : 255 - x * 9);
        }
    }
    return picture;
}

bool PictureSamples::save(FIBITMAP* picture, int format, const std::string& name, int flags) const
{
    bool ok = picture
        && FreeImage_Save(static_cast<FREE_IMAGE_FORMAT>(format), picture, (folder + "/" + name).c_str(), flags);
    if (!ok)
        std::cout << "resgen: could not write the sample " << name << std::endl;
    return ok;
}

bool PictureSamples::writeAll() const
{
    return saveAll() && saveFloatAndWide() && savePngVariants() && derived() && saveWithMetadata()
        && HandmadePictures(folder).writeAll();
}

// Pictures carrying XMP, IPTC, an ICC profile and an Exif description, each holding one
// phrase, in the formats whose writers keep them.
bool PictureSamples::saveWithMetadata() const
{
    Owned rgba { source() };
    Owned large { FreeImage_Rescale(rgba.picture, 32, 32, FILTER_BOX) };
    Owned rgb { FreeImage_ConvertTo24Bits(large.picture) };
    const char* phrase = "guarded-away";
    std::string packet = std::string("<x>") + phrase + "</x>";
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "XMLPacket");
    FreeImage_SetTagType(tag, FIDT_ASCII);
    FreeImage_SetTagLength(tag, static_cast<DWORD>(packet.size() + 1));
    FreeImage_SetTagCount(tag, static_cast<DWORD>(packet.size() + 1));
    FreeImage_SetTagValue(tag, packet.c_str());
    FreeImage_SetMetadata(FIMD_XMP, rgb.picture, "XMLPacket", tag);
    FreeImage_DeleteTag(tag);
    char profile[132] = { 0, 0, 0, static_cast<char>(132) };
    std::memcpy(profile + 36, "acsp", 4);
    FreeImage_CreateICCProfile(rgb.picture, profile, sizeof profile);
    FreeImage_SetMetadataKeyValue(FIMD_EXIF_MAIN, rgb.picture, "ImageDescription", phrase);
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, rgb.picture, "Caption-Abstract", phrase);
    return save(rgb.picture, FIF_TIFF, "tiff-24-metadata.tif") && save(rgb.picture, FIF_PSD, "psd-24-metadata.psd")
        && save(rgb.picture, FIF_J2K, "j2k-24-metadata.j2k") && save(rgb.picture, FIF_JP2, "jp2-24-metadata.jp2");
}

bool PictureSamples::write(const std::string& name, const std::vector<unsigned char>& bytes) const
{
    std::ofstream file(folder + "/" + name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// Samples made from others: containers of PNG pictures (an animation of one frame, an icon whose
// entry is a PNG) and a Targa picture without its footer.
bool PictureSamples::derived() const
{
    Owned rgba { source() };
    Owned icon { FreeImage_Rescale(rgba.picture, 16, 16, FILTER_BOX) };
    std::vector<unsigned char> png = savedToMemory(rgba.picture, FIF_PNG, 0);
    std::vector<unsigned char> iconPng = savedToMemory(icon.picture, FIF_PNG, 0);
    if (png.size() < 8 || iconPng.size() < 8)
        return false;
    std::vector<unsigned char> mng = { 0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    std::vector<unsigned char> header = big32s({ width, height, 1000, 0, 1, 0, 0 });
    std::vector<unsigned char> mhdr = pngChunk("MHDR", header);
    std::vector<unsigned char> mend = pngChunk("MEND", {});
    mng.insert(mng.end(), mhdr.begin(), mhdr.end());
    mng.insert(mng.end(), png.begin() + 8, png.end());
    mng.insert(mng.end(), mend.begin(), mend.end());
    // Directory: reserved, type 1, one entry of 16 x 16, 32 bits, its size and offset (22).
    std::vector<unsigned char> ico = { 0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0 };
    for (unsigned int value : { static_cast<unsigned int>(iconPng.size()), 22u })
        for (int shift = 0; shift < 32; shift += 8)
            ico.push_back(static_cast<unsigned char>(value >> shift));
    ico.insert(ico.end(), iconPng.begin(), iconPng.end());
    // A Targa picture as version 1 wrote them, without the footer FreeImage adds.
    Owned rgb { FreeImage_ConvertTo24Bits(rgba.picture) };
    std::vector<unsigned char> targa = savedToMemory(rgb.picture, FIF_TARGA, TARGA_SAVE_RLE);
    if (targa.size() < 26)
        return false;
    targa.resize(targa.size() - 26);
    return write("mng-32.mng", mng) && write("ico-png.ico", ico) && write("tga-24-rle-no-footer.tga", targa);
}

bool PictureSamples::saveAll() const
{
    Owned rgba { source() };
    Owned rgb { FreeImage_ConvertTo24Bits(rgba.picture) };
    Owned grey { FreeImage_ConvertToGreyscale(rgba.picture) };
    Owned four { FreeImage_ConvertTo4Bits(rgba.picture) };
    Owned one { FreeImage_Threshold(rgba.picture, 128) };
    Owned pal { palette8(rgba.picture, -1) };
    Owned palAlpha { palette8(rgba.picture, 3) };
    Owned rgb555 { FreeImage_ConvertTo16Bits555(rgba.picture) };
    Owned rgb565 { FreeImage_ConvertTo16Bits565(rgba.picture) };
    // Icons and JPEG 2000 pictures need larger sides than the pattern has.
    Owned icon { FreeImage_Rescale(rgba.picture, 16, 16, FILTER_BOX) };
    Owned icon8 { palette8(icon.picture, -1) };
    Owned large { FreeImage_Rescale(rgba.picture, 32, 32, FILTER_BOX) };
    Owned large24 { FreeImage_ConvertTo24Bits(large.picture) };
    Owned large8 { FreeImage_ConvertToGreyscale(large.picture) };
    FIBITMAP* s = rgba.picture;
    const struct {
        FIBITMAP* picture;
        FREE_IMAGE_FORMAT format;
        const char* name;
        int flags;
    } samples[] = {
        { one.picture, FIF_BMP, "bmp-1.bmp", 0 },
        { four.picture, FIF_BMP, "bmp-4.bmp", 0 },
        { pal.picture, FIF_BMP, "bmp-8.bmp", 0 },
        { rgb555.picture, FIF_BMP, "bmp-16-555.bmp", 0 },
        { rgb565.picture, FIF_BMP, "bmp-16-565.bmp", 0 },
        { rgb.picture, FIF_BMP, "bmp-24.bmp", 0 },
        { s, FIF_BMP, "bmp-32.bmp", 0 },
        { icon8.picture, FIF_ICO, "ico-8.ico", 0 },
        { icon.picture, FIF_ICO, "ico-32.ico", 0 },
        { rgb.picture, FIF_JPEG, "jpeg-baseline.jpg", 90 },
        { rgb.picture, FIF_JPEG, "jpeg-progressive.jpg", 90 | JPEG_PROGRESSIVE },
        { grey.picture, FIF_JPEG, "jpeg-grey.jpg", 90 },
        { rgb.picture, FIF_JNG, "jng-24.jng", 0 },
        { s, FIF_JNG, "jng-32.jng", 0 },
        { one.picture, FIF_PBM, "pnm-1-ascii.pbm", PNM_SAVE_ASCII },
        { one.picture, FIF_PBMRAW, "pnm-1-raw.pbm", 0 },
        { grey.picture, FIF_PGM, "pnm-8-ascii.pgm", PNM_SAVE_ASCII },
        { grey.picture, FIF_PGMRAW, "pnm-8-raw.pgm", 0 },
        { rgb.picture, FIF_PPM, "pnm-24-ascii.ppm", PNM_SAVE_ASCII },
        { rgb.picture, FIF_PPMRAW, "pnm-24-raw.ppm", 0 },
        { palAlpha.picture, FIF_TARGA, "tga-8.tga", 0 },
        { palAlpha.picture, FIF_TARGA, "tga-8-rle.tga", TARGA_SAVE_RLE },
        { rgb555.picture, FIF_TARGA, "tga-16.tga", 0 },
        { rgb.picture, FIF_TARGA, "tga-24.tga", 0 },
        { rgb.picture, FIF_TARGA, "tga-24-rle.tga", TARGA_SAVE_RLE },
        { s, FIF_TARGA, "tga-32.tga", 0 },
        { s, FIF_TARGA, "tga-32-rle.tga", TARGA_SAVE_RLE },
        { one.picture, FIF_TIFF, "tiff-1-fax4.tif", TIFF_CCITTFAX4 },
        { pal.picture, FIF_TIFF, "tiff-8-palette.tif", 0 },
        { grey.picture, FIF_TIFF, "tiff-8-grey.tif", TIFF_PACKBITS },
        { rgb.picture, FIF_TIFF, "tiff-24-none.tif", TIFF_NONE },
        { rgb.picture, FIF_TIFF, "tiff-24-lzw.tif", TIFF_LZW },
        { rgb.picture, FIF_TIFF, "tiff-24-deflate.tif", TIFF_DEFLATE },
        { rgb.picture, FIF_TIFF, "tiff-24-jpeg.tif", TIFF_JPEG },
        { s, FIF_TIFF, "tiff-32.tif", TIFF_ADOBE_DEFLATE },
        { s, FIF_TIFF, "tiff-32-cmyk.tif", TIFF_CMYK | TIFF_NONE },
        { one.picture, FIF_WBMP, "wbmp-1.wbmp", 0 },
        { rgb.picture, FIF_PSD, "psd-24.psd", 0 },
        { s, FIF_PSD, "psd-32-rle.psd", PSD_RLE },
        { rgb.picture, FIF_PSD, "psd-24-raw.psd", PSD_NONE },
        { s, FIF_PSD, "psb-32.psb", PSD_PSB },
        { pal.picture, FIF_XPM, "xpm-8.xpm", 0 },
        { rgb.picture, FIF_XPM, "xpm-24.xpm", 0 },
        { palAlpha.picture, FIF_GIF, "gif-8.gif", 0 },
        { four.picture, FIF_GIF, "gif-4.gif", 0 },
        { large24.picture, FIF_J2K, "j2k-24.j2k", 0 },
        { large8.picture, FIF_JP2, "jp2-8.jp2", 0 },
        { large.picture, FIF_JP2, "jp2-32.jp2", 0 },
        { rgb.picture, FIF_WEBP, "webp-24-lossy.webp", 0 },
        { s, FIF_WEBP, "webp-32-lossless.webp", WEBP_LOSSLESS },
    };
    bool ok = true;
    for (const auto& sample : samples)
        ok = save(sample.picture, sample.format, sample.name, sample.flags) && ok;
    return ok;
}

bool PictureSamples::saveFloatAndWide() const
{
    Owned rgba { source() };
    Owned grey16 { FreeImage_ConvertToUINT16(rgba.picture) };
    Owned rgb16 { FreeImage_ConvertToRGB16(rgba.picture) };
    Owned rgba16 { FreeImage_ConvertToRGBA16(rgba.picture) };
    Owned rgbf { FreeImage_ConvertToRGBF(rgba.picture) };
    Owned rgbaf { FreeImage_ConvertToRGBAF(rgba.picture) };
    Owned greyf { FreeImage_ConvertToFloat(rgba.picture) };
    return save(grey16.picture, FIF_PNG, "png-16-grey.png") && save(rgb16.picture, FIF_PNG, "png-48.png")
        && save(rgba16.picture, FIF_PNG, "png-64.png") && save(grey16.picture, FIF_TIFF, "tiff-16-grey.tif")
        && save(rgb16.picture, FIF_TIFF, "tiff-48.tif") && save(rgbaf.picture, FIF_TIFF, "tiff-128-float.tif")
        && save(rgb16.picture, FIF_PSD, "psd-48.psd") && save(rgbf.picture, FIF_HDR, "hdr-96.hdr")
        && save(rgbf.picture, FIF_EXR, "exr-half-piz.exr")
        && save(rgbaf.picture, FIF_EXR, "exr-float-zip.exr", EXR_FLOAT | EXR_ZIP)
        && save(rgbf.picture, FIF_PFM, "pfm-96.pfm") && save(greyf.picture, FIF_PFM, "pfm-32-grey.pfm");
}

bool PictureSamples::savePngVariants() const
{
    Owned rgba { source() };
    Owned rgb { FreeImage_ConvertTo24Bits(rgba.picture) };
    Owned grey { FreeImage_ConvertToGreyscale(rgba.picture) };
    Owned palAlpha { palette8(rgba.picture, 3) };
    Owned one { FreeImage_Threshold(rgba.picture, 128) };
    bool ok = save(one.picture, FIF_PNG, "png-1.png") && save(grey.picture, FIF_PNG, "png-8-grey.png")
        && save(palAlpha.picture, FIF_PNG, "png-8-palette-trns.png") && save(rgb.picture, FIF_PNG, "png-24.png")
        && save(rgba.picture, FIF_PNG, "png-32.png")
        && save(rgba.picture, FIF_PNG, "png-32-interlaced.png", PNG_INTERLACED);
    // Ancillary chunks spliced in after the header, where a writer puts them.
    std::vector<unsigned char> plain = savedToMemory(rgb.picture, FIF_PNG, 0);
    const struct {
        const char* name;
        std::vector<unsigned char> chunks;
    } variants[] = {
        { "png-24-gama.png", pngChunk("gAMA", big32s({ 100000 })) },
        { "png-24-srgb.png", pngChunk("sRGB", { 0 }) },
        { "png-24-chrm-gama.png",
            [] {
                std::vector<unsigned char> both
                    = pngChunk("cHRM", big32s({ 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000 }));
                std::vector<unsigned char> gamma = pngChunk("gAMA", big32s({ 45455 }));
                both.insert(both.end(), gamma.begin(), gamma.end());
                return both;
            }() },
        { "png-24-iccp.png", pngChunk("iCCP", compressedProfile()) },
        { "png-24-text.png", pngChunk("tEXt", { 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i' }) },
    };
    for (const auto& variant : variants) {
        if (plain.size() < 33)
            return false;
        std::vector<unsigned char> bytes(plain.begin(), plain.begin() + 33);
        bytes.insert(bytes.end(), variant.chunks.begin(), variant.chunks.end());
        bytes.insert(bytes.end(), plain.begin() + 33, plain.end());
        ok = write(variant.name, bytes) && ok;
    }
    return ok;
}
