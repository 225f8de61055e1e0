// The guards of TIFF, PSD, JPEG 2000 and OpenEXR files: the metadata they drop never reaches
// the decoder while the pixels stay FreeImage's own, and the hostile files kept for the fuzzer
// are refused before decoding, where FreeImage alone crashes, fails or balloons.
#include "render/ByteOrder.h"
#include "render/Picture.h"
#include "render/PictureFile.h"
#include "render/RegularFile.h"
#include "tests/render/TestPictures.h"
#include "tests/support/GlTest.h"
#include "tests/support/HostileFiles.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
using Bytes = std::vector<unsigned char>;
const char* const secret = "guarded-away";

Bytes fileBytes(const std::string& path)
{
    Bytes bytes;
    RegularFile::read(path, PictureFile::maxFileBytes, bytes);
    return bytes;
}

bool holds(const Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

Bytes spliced(Bytes bytes, size_t at, const Bytes& insert)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
    return bytes;
}

// A JPEG 2000 box: its length, its type (and for a UUID box the id), the text.
Bytes box(const char* type, const std::string& text)
{
    Bytes out;
    ByteOrder::putBig32(out, static_cast<std::uint32_t>(4 + std::strlen(type) + text.size()));
    out.insert(out.end(), type, type + std::strlen(type));
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

// An indexed 9 x 5 PSD whose resources say that colour 3 is transparent (FreeImage does not
// apply it: the pixels stay the same without) and hold an XMP packet.
Bytes indexedPsd()
{
    Bytes psd = { '8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 9, 0, 8, 0, 2 };
    ByteOrder::putBig32(psd, 768);
    for (int i = 0; i < 768; ++i)
        psd.push_back(static_cast<unsigned char>(i * 5));
    Bytes resources = { '8', 'B', 'I', 'M', 0x04, 0x17, 0, 0, 0, 0, 0, 2, 0, 3, '8', 'B', 'I', 'M', 0x04, 0x24, 0, 0 };
    ByteOrder::putBig32(resources, static_cast<std::uint32_t>(std::strlen(secret)));
    resources.insert(resources.end(), secret, secret + std::strlen(secret));
    ByteOrder::putBig32(psd, static_cast<std::uint32_t>(resources.size()));
    psd.insert(psd.end(), resources.begin(), resources.end());
    psd.insert(psd.end(), { 0, 0, 0, 0, 0, 0 });
    for (int i = 0; i < 45; ++i)
        psd.push_back(static_cast<unsigned char>(i % 8));
    return psd;
}

// What FreeImage sees of the metadata in some bytes.
unsigned int metadataSeen(const Bytes& bytes, int format)
{
    FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    FIBITMAP* picture = FreeImage_LoadFromMemory(static_cast<FREE_IMAGE_FORMAT>(format), memory, 0);
    FreeImage_CloseMemory(memory);
    if (!picture)
        return 0;
    unsigned int seen = FreeImage_GetMetadataCount(FIMD_XMP, picture) + FreeImage_GetMetadataCount(FIMD_IPTC, picture)
        + FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, picture) + FreeImage_GetICCProfile(picture)->size;
    FreeImage_Unload(picture);
    return seen;
}

std::vector<unsigned char> decoded(const std::string& path, bool guarded)
{
    Picture picture;
    unsigned int width = 0, height = 0;
    unsigned char* pixels = nullptr;
    if (guarded) {
        pixels = picture.decode(PictureFile::read(path), 1 << 20, width, height);
    } else {
        FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
        pixels = picture.adopt(FreeImage_Load(format, path.c_str(), 0), width, height);
    }
    return pixels ? Bytes(pixels, pixels + static_cast<size_t>(width) * height * 4) : Bytes();
}

}

TEST(PictureGuardsTest, MetadataNeverReachesTheDecoderAndThePixelsStay)
{
    std::string folder = makeTempDir("guarded");
    ASSERT_TRUE(writePictureSamples(folder));
    // The generator's samples with metadata: XMP, IPTC, an ICC profile and an Exif description
    // holding the secret. A comment after the codestream's SIZ marker, XML and UUID boxes after
    // the file type.
    Bytes j2k = fileBytes(folder + "/j2k-24-metadata.j2k");
    Bytes comment = { 0xFF, 0x64, 0, static_cast<unsigned char>(4 + std::strlen(secret)), 0, 1 };
    comment.insert(comment.end(), secret, secret + std::strlen(secret));
    writeBytes(folder + "/comment.j2k", spliced(j2k, 4 + (j2k[4] << 8 | j2k[5]), comment));
    Bytes jp2 = fileBytes(folder + "/jp2-24-metadata.jp2");
    Bytes boxes = box("xml ", secret);
    Bytes uuid = box("uuid0123456789abcdef", secret);
    boxes.insert(boxes.end(), uuid.begin(), uuid.end());
    writeBytes(folder + "/boxes.jp2", spliced(jp2, 12 + (jp2[14] << 8 | jp2[15]), boxes));

    writeBytes(folder + "/indexed.psd", indexedPsd());

    const struct {
        std::string file;
        std::string dropped;
    } cases[] = {
        { "indexed.psd", secret },
        { "tiff-24-metadata.tif", "" }, // dropped entries stay in the file unread
        { "psd-24-metadata.psd", secret },
        { "comment.j2k", secret },
        { "boxes.jp2", secret },
        { "tiff-24-bigtiff.tif", "" },
        { "tiff-24-tiled-motorola.tif", "" },
        { "exr-half-tiled.exr", "handmade" },
        { "exr-half-two-parts.exr", "second" },
    };
    for (const auto& c : cases) {
        std::string path = folder + "/" + c.file;
        Bytes original = fileBytes(path);
        PictureFile kept = PictureFile::read(path);
        ASSERT_TRUE(kept.known()) << c.file;
        EXPECT_TRUE(c.dropped.empty() || holds(original, c.dropped)) << c.file;
        EXPECT_FALSE(!c.dropped.empty() && holds(kept.bytes, c.dropped)) << c.file;
        if (kept.format == FIF_TIFF || kept.format == FIF_PSD) {
            EXPECT_GT(metadataSeen(original, kept.format), 0u) << c.file;
            EXPECT_EQ(metadataSeen(kept.bytes, kept.format), 0u) << c.file;
        }
        Bytes theirs = decoded(path, false);
        EXPECT_FALSE(theirs.empty()) << c.file;
        EXPECT_TRUE(decoded(path, true) == theirs) << c.file;
    }
    std::filesystem::remove_all(folder);
}

// Each kept input and what FreeImage alone does with it (measured where it cannot be run here).
TEST(PictureGuardsTest, HostileFilesAreRefusedBeforeDecoding)
{
    // Overflows: writes past its buffer, seen under AddressSanitizer.
    enum { crashes, overflows, fails, decodes, costly };
    const struct {
        const char* file;
        int alone;
    } cases[] = {
        { "psd-packbits-cut-short", crashes },
        { "psd-packbits-runs-past-the-row", crashes },
        { "psd-zip-data-that-is-not-zlib", crashes },
        { "psd-zip-compressed", fails },
        { "psd-raw-cut-short", decodes }, // a file cut short, decoded without its last rows
        { "tiff-eight-one-bit-samples-abort-freeimage", crashes }, // an assertion
        { "tiff-tile-larger-than-the-picture", costly }, // 4 GB, 14 s
        { "tiff-declaring-65535-by-65535", costly }, // 8 GB, 26 s
        { "bigtiff-declaring-65535-by-65535", costly },
        { "exr-attribute-sizes-that-lie", costly }, // no end in 100 s
        { "exr-chunks-of-two-thousand-channels", costly }, // 252 MB
        { "exr-declaring-65535-by-65535", fails },
        { "exr-deep-scanlines", fails },
        { "j2k-tiles-of-one-pixel", costly }, // 818 MB
        { "j2k-declaring-65535-by-65535", costly }, // past 24 GB
        { "jng-whose-jpeg-frame-is-larger-than-its-header", costly }, // 2 GB: the frame's 16397 x 16384
        { "ras-header-cut-short-crashes-freeimage", crashes },
        { "exr-tiles-above-row-0-crash-freeimage", crashes },
    };
    std::string folder = makeTempDir("hostile");
    for (const auto& c : cases) {
        std::string path = pictureRegression(c.file, folder + "/" + c.file);
        ASSERT_GT(std::filesystem::file_size(path), 0u) << path;
        // What FreeImage alone costs was measured once (the figures above): running it here again
        // would take minutes and gigabytes.
        Alone alone = c.alone == costly ? Alone::stillRunning : freeImageAlone(path);
#ifdef __SANITIZE_ADDRESS__
        // Under the sanitizer a failed allocation ends the process too: only faults are told apart.
        if (c.alone == crashes || c.alone == overflows) {
            EXPECT_EQ(alone, Alone::died) << c.file;
        }
#else
        if (c.alone == crashes) {
            EXPECT_EQ(alone, Alone::died) << c.file;
        } else if (c.alone == fails || c.alone == decodes) {
            EXPECT_EQ(alone, c.alone == decodes ? Alone::decoded : Alone::failed) << c.file;
        }
#endif
        bool refused = false;
        long growth = peakGrowth([&] {
            Picture picture;
            unsigned int width = 0, height = 0;
            refused = !picture.decode(PictureFile::read(path), 4096 * 4096, width, height);
        });
        EXPECT_TRUE(refused) << c.file;
#ifndef __SANITIZE_ADDRESS__
        EXPECT_LT(growth, 8L << 20) << c.file;
#else
        (void)growth;
#endif
    }
    std::filesystem::remove_all(folder);
}

// A true-colour Sun raster picture with a colour map, which FreeImage writes into a palette the
// picture does not have, even when reading the header only: the map is dropped.
TEST(PictureGuardsTest, ATrueColourSunRasterLosesTheColourMapThatCrashesFreeImage)
{
    auto ras = [](unsigned int mapType, unsigned int mapLength) {
        Bytes out;
        for (unsigned int value : { 0x59A66A95u, 13u, 7u, 24u, 7u * 40u, 1u, mapType, mapLength })
            ByteOrder::putBig32(out, value);
        for (unsigned int i = 0; i < mapLength + 7 * 40; ++i)
            out.push_back(static_cast<unsigned char>(i < mapLength ? 0xEE : (i - mapLength) * 7));
        return out;
    };
    std::string folder = makeTempDir("ras");
    writeBytes(folder + "/map.ras", ras(1, 48));
    writeBytes(folder + "/plain.ras", ras(0, 0));
    EXPECT_EQ(freeImageAlone(folder + "/map.ras", 20), Alone::died);
    Bytes plain = decoded(folder + "/plain.ras", false);
    ASSERT_EQ(plain.size(), 13u * 7 * 4);
    EXPECT_TRUE(decoded(folder + "/map.ras", true) == plain);
    std::filesystem::remove_all(folder);
}

// OpenJPEG decodes every component, and FreeImage makes a picture of five: such a codestream is
// kept, measured at twice its height for the budget.
TEST(PictureGuardsTest, ComponentsPastFourStretchTheMeasuredSize)
{
    // SIZ of 64 x 64 in one tile, five 8-bit components; COD and QCD of one layer and no
    // transform levels; one tile of empty packets.
    Bytes j2k = { 0xFF, 0x4F, 0xFF, 0x51, 0, 53, 0, 0, 0, 0, 0, 64, 0, 0, 0, 64 };
    j2k.resize(j2k.size() + 8, 0);
    j2k.insert(j2k.end(), { 0, 0, 0, 64, 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5 });
    for (int c = 0; c < 5; ++c)
        j2k.insert(j2k.end(), { 7, 1, 1 });
    j2k.insert(j2k.end(), { 0xFF, 0x52, 0, 12, 0, 0, 0, 1, 0, 0, 4, 4, 0, 1, 0xFF, 0x5C, 0, 4, 0x40, 0x40 });
    j2k.insert(j2k.end(), { 0xFF, 0x90, 0, 10, 0, 0, 0, 0, 0, 19, 0, 1, 0xFF, 0x93, 0, 0, 0, 0, 0, 0xFF, 0xD9 });
    std::string path = makeTempDir("components") + "/five.j2k";
    writeBytes(path, j2k);
    PictureFile kept = PictureFile::read(path);
    EXPECT_EQ(kept.width, 64u);
    EXPECT_EQ(kept.height, 128u);
    Bytes theirs = decoded(path, false);
    EXPECT_EQ(theirs.size(), 64u * 64 * 4);
    EXPECT_TRUE(decoded(path, true) == theirs);
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
