// The picture guards against FreeImage's own load: every sample of every format the loader
// takes decodes to the same bytes either way, and the formats it refuses are refused.
#include "render/Picture.h"
#include "render/PictureFile.h"
#include "tests/render/TestPictures.h"
#include "tests/support/GlTest.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
struct Decoded {
    bool ok = false;
    unsigned int width = 0;
    unsigned int height = 0;
    std::vector<unsigned char> pixels;
};

Decoded keep(Picture& picture, unsigned char* pixels, unsigned int width, unsigned int height)
{
    Decoded d;
    d.ok = pixels != nullptr;
    if (d.ok) {
        d.width = width;
        d.height = height;
        d.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    }
    picture.release();
    return d;
}

// The game's way: the guarded file, decoded within a budget no sample comes near.
Decoded guarded(const std::string& path)
{
    Picture picture;
    unsigned int width = 0, height = 0;
    unsigned char* pixels = picture.decode(PictureFile::read(path), 1 << 20, width, height);
    return keep(picture, pixels, width, height);
}

// FreeImage's own way: the type from the content, then the name, and the whole file decoded.
Decoded unguarded(const std::string& path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    Picture picture;
    unsigned int width = 0, height = 0;
    unsigned char* pixels = picture.adopt(FreeImage_Load(format, path.c_str(), 0), width, height);
    return keep(picture, pixels, width, height);
}

using Bytes = std::string;

Bytes slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes big32(unsigned int v)
{
    return { static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v) };
}

Bytes little32(unsigned int v)
{
    return { static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24) };
}

// A PNG-style chunk: length, type, data, CRC.
Bytes chunk(const Bytes& type, const Bytes& data)
{
    Bytes body = type + data;
    DWORD crc = FreeImage_ZLibCRC32(0, reinterpret_cast<BYTE*>(&body[0]), static_cast<DWORD>(body.size()));
    return big32(static_cast<unsigned int>(data.size())) + body + big32(crc);
}

const Bytes marker = "made to hurt";

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}
}

TEST(PictureFormatsTest, EverySampleDecodesAsFreeImageDecodesItAlone)
{
    std::string folder = makeTempDir("samples");
    ASSERT_TRUE(writePictureSamples(folder));
    std::vector<std::string> files = filesIn(folder);
    // The game's own pictures are compared as well.
    for (const std::string& name : filesIn(buildPath("Resources"))) {
        if (name.size() > 4 && (name.substr(name.size() - 4) == ".png" || name.substr(name.size() - 4) == ".jpg"))
            files.push_back(name);
    }
    EXPECT_GE(files.size(), 100u);
    for (const std::string& path : files) {
        if (path.size() > 4 && path.substr(path.size() - 4) == ".pct") {
            EXPECT_FALSE(guarded(path).ok) << "PICT is refused";
            continue;
        }
        Decoded theirs = unguarded(path);
        EXPECT_TRUE(theirs.ok) << path << ": the sample itself must be readable";
        Decoded ours = guarded(path);
        EXPECT_TRUE(ours.ok) << path;
        if (!ours.ok || !theirs.ok)
            continue;
        EXPECT_EQ(ours.width, theirs.width) << path;
        EXPECT_EQ(ours.height, theirs.height) << path;
        EXPECT_TRUE(ours.pixels == theirs.pixels) << path << ": the decoded bytes differ";
    }
    std::filesystem::remove_all(folder);
}

TEST(PictureFormatsTest, RefusedFormatsAreThoseFreeImageCannotBeTrustedWith)
{
    std::string folder = makeTempDir("refused");
    std::string pict = pictureRegression("pict-cut-short-hangs-freeimage", folder + "/cut.pct");
    EXPECT_EQ(freeImageAlone(pict, 5), Alone::stillRunning) << "FreeImage loops for ever on a PICT file cut short";
    std::string jxr = pictureRegression("jxr-from-jxrlib-freeimage-cannot-read", folder + "/valid.jxr");
    EXPECT_EQ(freeImageAlone(jxr, 60), Alone::failed) << "FreeImage reads no JPEG XR, not even jxrlib's own";
    // The raw decoder knows many cameras by the file's size alone: noise of one such size
    // decodes as a photograph, so no header tells a raw picture's size before decoding.
    std::string noise(4771840, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream(folder + "/noise.bin", std::ios::binary) << noise;
    EXPECT_EQ(FreeImage_GetFileType((folder + "/noise.bin").c_str(), 0), FIF_RAW)
        << "without a signature, only the raw decoder itself can have taken it";
    EXPECT_EQ(freeImageAlone(folder + "/noise.bin", 120), Alone::decoded);
    for (std::string path : { pict, jxr, folder + "/noise.bin" })
        EXPECT_FALSE(PictureFile::read(path).known()) << path;
    std::filesystem::remove_all(folder);
}

// Each sample with metadata spliced in where its format keeps it: the guard hands none of it
// to the decoder, and the picture decodes as the sample without it does.
TEST(PictureFormatsTest, MetadataIsDroppedAndThePixelsStay)
{
    std::string folder = makeTempDir("metadata");
    ASSERT_TRUE(writePictureSamples(folder));
    const struct {
        const char* sample;
        std::function<Bytes(Bytes)> splice;
    } cases[] = {
        { "gif-8.gif", [](Bytes b) { return b.insert(13, "\x21\xFE\x0C" + marker + '\0'); } },
        { "webp-32-lossless.webp",
            [](Bytes b) {
                b += "EXIF" + little32(12) + marker;
                return b.replace(4, 4, little32(static_cast<unsigned int>(b.size() - 8)));
            } },
        { "tga-24.tga",
            [](Bytes b) {
                b[0] = 12;
                b.insert(18, marker);
                b.resize(b.size() - 26);
                unsigned int extension = static_cast<unsigned int>(b.size());
                return b + marker + little32(extension) + little32(0) + Bytes("TRUEVISION-XFILE.\0", 18);
            } },
        { "ico-png.ico",
            [](Bytes b) {
                b.insert(22 + 33, chunk("tEXt", "Comment" + Bytes(1, '\0') + marker));
                return b.replace(14, 4, little32(static_cast<unsigned int>(b.size() - 22)));
            } },
        { "hdr-96.hdr", [](Bytes b) { return b.insert(b.find('\n') + 1, "# " + marker + "\nEXPOSURE=2\n"); } },
        { "sgi-24-rle.sgi", [](Bytes b) { return b.replace(24, marker.size(), marker); } },
        { "xbm-1.xbm", [](Bytes b) { return "/* " + marker + " */\n" + b; } },
        { "jng-24.jng", [](Bytes b) { return b.insert(36, chunk("tEXt", "Title" + Bytes(1, '\0') + marker)); } },
        { "mng-32.mng", [](Bytes b) { return b.insert(48, chunk("tEXt", "Title" + Bytes(1, '\0') + marker)); } },
        { "iff-8.iff",
            [](Bytes b) {
                b.insert(12, "ANNO" + big32(12) + marker);
                return b.replace(4, 4, big32(static_cast<unsigned int>(b.size() - 8)));
            } },
    };
    for (const auto& c : cases) {
        std::string clean = folder + "/" + c.sample;
        std::string laden = folder + "/laden-" + c.sample;
        std::ofstream(laden, std::ios::binary) << c.splice(slurp(clean));
        PictureFile kept = PictureFile::read(laden);
        EXPECT_TRUE(kept.known()) << c.sample;
        EXPECT_EQ(Bytes(kept.bytes.begin(), kept.bytes.end()).find(marker), Bytes::npos) << c.sample;
        Decoded with = guarded(laden);
        EXPECT_TRUE(with.ok) << c.sample;
        EXPECT_TRUE(with.pixels == guarded(clean).pixels) << c.sample;
    }
    std::filesystem::remove_all(folder);
}
