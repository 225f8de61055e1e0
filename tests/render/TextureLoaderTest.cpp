#include "render/TextureLoader.h"

#include "render/PictureFile.h"
#include "tests/render/TestPictures.h"
#include "tests/support/GlTest.h"
#include "tests/support/HostileFiles.h"

#include <FreeImage.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
const std::uint8_t magenta[4] = { 255, 0, 255, 255 };
const std::uint8_t white[4] = { 255, 255, 255, 255 };

std::string failureLine(const std::string& path)
{
    return "TextureLoader: Could not load Texture \"" + path + "\"\n";
}

// Level 0 of a texture as BGRA bytes, rows bottom (t = 0) first.
std::vector<std::uint8_t> texels(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

std::vector<std::uint8_t> bytes(const unsigned char* data, size_t count)
{
    return data ? std::vector<std::uint8_t>(data, data + count) : std::vector<std::uint8_t>();
}

long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void writeSolidJpeg(const std::string& path, unsigned int side, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(side), static_cast<int>(side), 24);
    RGBQUAD colour = { b, g, r, 0 };
    for (unsigned int y = 0; y < side; ++y)
        for (unsigned int x = 0; x < side; ++x)
            FreeImage_SetPixelColor(picture, x, y, &colour);
    FreeImage_Save(FIF_JPEG, picture, path.c_str(), JPEG_QUALITYSUPERB);
    FreeImage_Unload(picture);
}

PngPicture picture(unsigned int width, unsigned int height, PngColour colour, int depth, std::vector<std::uint8_t> rows)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colour = colour;
    p.bitDepth = depth;
    p.rows = std::move(rows);
    return p;
}
}

// Every test runs in a folder of its own with the two default pictures the loader starts with.
class TextureLoaderTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        previous = std::filesystem::current_path();
        folder = makeTempDir("texture");
        std::filesystem::create_directories(folder + "/Resources");
        writeSolidPng(folder + "/Resources/default.png", 2, 2, magenta);
        writeSolidPng(folder + "/Resources/defaultWhite.png", 2, 2, white);
        std::filesystem::current_path(folder);
    }

    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        GlTest::TearDown();
    }

    std::filesystem::path previous;
    std::string folder;
};

TEST_F(TextureLoaderTest, DefaultTexturesComeFirstOnUnitsZeroAndOne)
{
    TextureLoader loader;
    ASSERT_NE(loader.defaultTexture, 0u);
    EXPECT_EQ(loader.whiteTexture, loader.defaultTexture + 1);
    GLint bound = 0;
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), loader.defaultTexture);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), loader.whiteTexture);
    EXPECT_EQ(texels(loader.defaultTexture),
        std::vector<std::uint8_t>({ 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255 }));
    EXPECT_EQ(texels(loader.whiteTexture), std::vector<std::uint8_t>(16, 255));
    EXPECT_EQ(TextureLoader::livePictures(), 0);
}

TEST_F(TextureLoaderTest, PngKeepsItsAlphaAndJpegIsOpaque)
{
    TextureLoader loader;
    writePng("Resources/alpha.png", picture(2, 1, PngColour::rgba, 8, { 10, 20, 30, 40, 200, 100, 50, 255 }));
    unsigned int width = 0, height = 0;
    GLuint texture = loader.loadTexture("Resources/alpha.png", 1, width, height);
    EXPECT_NE(texture, loader.defaultTexture);
    EXPECT_EQ(width, 2u);
    EXPECT_EQ(height, 1u);
    EXPECT_EQ(texels(texture), std::vector<std::uint8_t>({ 30, 20, 10, 40, 50, 100, 200, 255 }));
    GLint format = 0, mipWidth = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &mipWidth);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(format, GL_RGBA8);
    EXPECT_EQ(mipWidth, 1) << "the mipmap chain exists";
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_NEAREST);
    EXPECT_EQ(magFilter, GL_NEAREST);

    writeSolidJpeg("Resources/solid.jpg", 8, 200, 60, 30);
    GLuint jpeg = loader.loadTexture("Resources/solid.jpg", 1, width, height);
    ASSERT_NE(jpeg, loader.defaultTexture);
    EXPECT_EQ(width, 8u);
    std::vector<std::uint8_t> pixels = texels(jpeg);
    ASSERT_EQ(pixels.size(), 8u * 8 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        EXPECT_NEAR(pixels[i], 30, 8);
        EXPECT_NEAR(pixels[i + 1], 60, 8);
        EXPECT_NEAR(pixels[i + 2], 200, 8);
        EXPECT_EQ(pixels[i + 3], 255);
    }
    glDeleteTextures(1, &texture);
    glDeleteTextures(1, &jpeg);
}

TEST_F(TextureLoaderTest, ContentDecidesTheTypeBeforeTheName)
{
    TextureLoader loader;
    writePng("Resources/noExtension", picture(1, 1, PngColour::rgba, 8, { 1, 2, 3, 4 }));
    writePng("Resources/misnamed.jpg", picture(1, 1, PngColour::rgba, 8, { 5, 6, 7, 8 }));
    writeSolidJpeg("Resources/misnamed.png", 4, 0, 0, 250);
    unsigned int width = 0, height = 0;
    EXPECT_EQ(
        bytes(loader.loadImage("Resources/noExtension", width, height), 4), std::vector<std::uint8_t>({ 3, 2, 1, 4 }));
    EXPECT_EQ(
        bytes(loader.loadImage("Resources/misnamed.jpg", width, height), 4), std::vector<std::uint8_t>({ 7, 6, 5, 8 }));
    std::vector<std::uint8_t> jpeg = bytes(loader.loadImage("Resources/misnamed.png", width, height), 4);
    ASSERT_EQ(jpeg.size(), 4u);
    EXPECT_GT(jpeg[0], 230);
    EXPECT_EQ(jpeg[3], 255);
    loader.releaseImage();
}

TEST_F(TextureLoaderTest, SameFileTwiceGivesTwoTextures)
{
    TextureLoader loader;
    writeSolidPng("Resources/twice.png", 3, 3, magenta);
    GLuint first = loader.loadTexture("Resources/twice.png", 1);
    GLuint second = loader.loadTexture("Resources/twice.png", 1);
    EXPECT_NE(first, second);
    EXPECT_NE(first, loader.defaultTexture);
    EXPECT_EQ(texels(first), texels(second));
    glDeleteTextures(1, &first);
    glDeleteTextures(1, &second);
}

TEST_F(TextureLoaderTest, BottomRowOfTheFileIsAtTZero)
{
    TextureLoader loader;
    // File order is top row first: red on top, blue below.
    writePng("Resources/upright.png", picture(1, 2, PngColour::rgb, 8, { 255, 0, 0, 0, 0, 255 }));
    unsigned int width = 0, height = 0;
    EXPECT_EQ(bytes(loader.loadImage("Resources/upright.png", width, height), 8),
        std::vector<std::uint8_t>({ 255, 0, 0, 255, 0, 0, 255, 255 }));
    GLuint texture = loader.loadTexture("Resources/upright.png", 1);
    EXPECT_EQ(texels(texture), std::vector<std::uint8_t>({ 255, 0, 0, 255, 0, 0, 255, 255 }));
    glDeleteTextures(1, &texture);
}

TEST_F(TextureLoaderTest, OtherDepthsArriveAsPackedBgra32)
{
    TextureLoader loader;
    // Three by two pictures, so that rows of the source carry padding; expected bytes are BGRA,
    // bottom row first.
    struct Case {
        const char* name;
        PngPicture file;
        std::vector<std::uint8_t> expected;
    };
    PngPicture palette8 = picture(3, 2, PngColour::palette, 8, { 0, 1, 2, 2, 1, 0 });
    palette8.palette = { 255, 0, 0, 0, 255, 0, 0, 0, 255 };
    PngPicture palette4 = picture(3, 2, PngColour::palette, 4, { 0x01, 0x20, 0x21, 0x00 });
    palette4.palette = palette8.palette;
    const std::vector<std::uint8_t> rgbRows = { 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0 };
    // Red, green, blue on top and the reverse below.
    const std::vector<std::uint8_t> topRedGreenBlue
        = { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255 };
    std::vector<Case> cases = {
        { "palette8", palette8, topRedGreenBlue },
        { "palette4", palette4, topRedGreenBlue },
        { "grey8", picture(3, 2, PngColour::grey, 8, { 0, 100, 200, 50, 150, 250 }),
            { 50, 50, 50, 255, 150, 150, 150, 255, 250, 250, 250, 255, 0, 0, 0, 255, 100, 100, 100, 255, 200, 200, 200,
                255 } },
        { "greyAlpha8", picture(3, 2, PngColour::greyAlpha, 8, { 10, 1, 20, 2, 30, 3, 40, 4, 50, 5, 60, 6 }),
            { 40, 40, 40, 4, 50, 50, 50, 5, 60, 60, 60, 6, 10, 10, 10, 1, 20, 20, 20, 2, 30, 30, 30, 3 } },
        { "rgb24", picture(3, 2, PngColour::rgb, 8, rgbRows), topRedGreenBlue },
        { "grey16",
            picture(
                3, 2, PngColour::grey, 16, { 0x12, 0x34, 0x80, 0x00, 0xFF, 0xFF, 0x00, 0x10, 0x40, 0x01, 0xC0, 0xFE }),
            { 0, 0, 0, 255, 0x40, 0x40, 0x40, 255, 0xC0, 0xC0, 0xC0, 255, 0x12, 0x12, 0x12, 255, 0x80, 0x80, 0x80, 255,
                0xFF, 0xFF, 0xFF, 255 } },
    };
    std::vector<std::uint8_t> rgb48;
    for (std::uint8_t sample : rgbRows)
        rgb48.insert(rgb48.end(), { sample, 0x7F });
    cases.push_back({ "rgb48", picture(3, 2, PngColour::rgb, 16, rgb48), topRedGreenBlue });
    std::vector<std::uint8_t> rgba64;
    for (int pixel = 0; pixel < 6; ++pixel)
        rgba64.insert(rgba64.end(), { 0x10, 0, 0x20, 0, 0x30, 0, static_cast<std::uint8_t>(0x40 + pixel), 0 });
    cases.push_back({ "rgba64", picture(3, 2, PngColour::rgba, 16, rgba64),
        { 0x30, 0x20, 0x10, 0x43, 0x30, 0x20, 0x10, 0x44, 0x30, 0x20, 0x10, 0x45, 0x30, 0x20, 0x10, 0x40, 0x30, 0x20,
            0x10, 0x41, 0x30, 0x20, 0x10, 0x42 } });

    for (const Case& c : cases) {
        std::string path = std::string("Resources/") + c.name + ".png";
        writePng(path, c.file);
        unsigned int width = 0, height = 0;
        unsigned char* pixels = loader.loadImage(path, width, height);
        ASSERT_NE(pixels, nullptr) << c.name;
        EXPECT_EQ(width, 3u) << c.name;
        EXPECT_EQ(height, 2u) << c.name;
        EXPECT_EQ(bytes(pixels, 24), c.expected) << c.name;
        GLuint texture = loader.loadTexture(path, 1);
        EXPECT_EQ(texels(texture), c.expected) << c.name;
        glDeleteTextures(1, &texture);
    }
    EXPECT_EQ(TextureLoader::livePictures(), 0);
}

TEST_F(TextureLoaderTest, UnreadableFilesFallBackWithOneMessage)
{
    TextureLoader loader;
    writeBytes("Resources/garbage.png", { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e' });
    writeBytes("Resources/empty.png", {});
    writePngHeaderOnly("Resources/huge.png", 20000, 20000);
    writePngHeaderOnly("Resources/wide.png", 16385, 1);
    std::vector<std::uint8_t> stripe(16385 * 4, 7);
    writePng("Resources/tooWide.png", picture(16385, 1, PngColour::rgba, 8, stripe));
    stripe.resize(16384 * 4);
    writePng("Resources/widest.png", picture(16384, 1, PngColour::rgba, 8, stripe));
    makeFifo("Resources/fifo.png");
    linkToDevice("Resources/zero.jpg");

    for (std::string path :
        { "Resources/missing.png", "Resources/garbage.png", "Resources/empty.png", "Resources/huge.png",
            "Resources/wide.png", "Resources/tooWide.png", "Resources", "Resources/fifo.png", "Resources/zero.jpg" }) {
        unsigned int width = 77, height = 77;
        testing::internal::CaptureStdout();
        GLuint texture = loader.loadTexture(path, 1, width, height);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), failureLine(path));
        EXPECT_EQ(texture, loader.defaultTexture) << path;
        EXPECT_EQ(width, 77u) << path;
        EXPECT_EQ(height, 77u) << path;
        EXPECT_EQ(loader.loadImage(path, width, height), nullptr) << path;
        EXPECT_EQ(TextureLoader::livePictures(), 0) << path;
    }
    unsigned int width = 0, height = 0;
    GLuint widest = loader.loadTexture("Resources/widest.png", 1, width, height);
    EXPECT_NE(widest, loader.defaultTexture) << "16384 pixels a side are still accepted";
    EXPECT_EQ(width, 16384u);
    glDeleteTextures(1, &widest);
}

TEST_F(TextureLoaderTest, MetadataNeverReachesTheDecoder)
{
    TextureLoader loader;
    writeExifBombJpeg("Resources/exif.jpg");
    PictureFile stripped = PictureFile::read("Resources/exif.jpg");
    std::string kept(stripped.bytes.begin(), stripped.bytes.end());
    EXPECT_EQ(kept.find("Exif"), std::string::npos);
    EXPECT_EQ(kept.find("made to hurt"), std::string::npos);
    EXPECT_EQ(kept.find("JFIF"), std::string::npos);
    unsigned int width = 0, height = 0;
    testing::internal::CaptureStdout();
    GLuint texture = loader.loadTexture("Resources/exif.jpg", 1, width, height);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(texture, loader.defaultTexture);
    EXPECT_EQ(width, 16u);
    std::vector<std::uint8_t> grey = texels(texture);
    ASSERT_EQ(grey.size(), 16u * 16u * 4u);
    EXPECT_NEAR(grey[0], 90, 2);
    EXPECT_EQ(grey[3], 255);
    glDeleteTextures(1, &texture);
}

TEST_F(TextureLoaderTest, PicturesOverTheBudgetAreRefusedFromTheHeader)
{
    TextureLoader loader;
    writeSparsePng("Resources/sparse.png", 16384);
    writeOversizedJpeg("Resources/vast.jpg", 16384);
    writeOversizedBmp("Resources/vast.bmp", 65535);
    writeOversizedTga("Resources/vast.tga", 65535);
    long growth = peakGrowth([&loader] {
        for (std::string path :
            { "Resources/sparse.png", "Resources/vast.jpg", "Resources/vast.bmp", "Resources/vast.tga" }) {
            testing::internal::CaptureStdout();
            EXPECT_EQ(loader.loadTexture(path, 1), loader.defaultTexture);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), failureLine(path));
        }
    });
#ifndef __SANITIZE_ADDRESS__
    // Decoded, the PNG alone would take a gigabyte.
    EXPECT_LT(growth, 16L << 20);
#else
    (void)growth;
#endif
    writeSparsePng("Resources/budget.png", 2048);
    unsigned int width = 0, height = 0;
    GLuint fits = loader.loadTexture("Resources/budget.png", 1, width, height);
    EXPECT_NE(fits, loader.defaultTexture);
    EXPECT_EQ(width, 2048u);
    EXPECT_EQ(loader.loadImage("Resources/budget.png", width, height, 2047 * 2048), nullptr)
        << "callers can ask for a smaller budget";
    glDeleteTextures(1, &fits);
}

TEST_F(TextureLoaderTest, PicturesOfEveryFormatBecomeTexturesAsFreeImageDecodesThem)
{
    TextureLoader loader;
    ASSERT_TRUE(writePictureSamples("Resources/samples"));
    for (std::string name : { "bmp-24.bmp", "bmp-4-rle.bmp", "tga-32-rle.tga", "tga-16.tga", "png-24-gama.png",
             "gif-8.gif", "ico-32.ico", "pnm-8-raw.pgm" }) {
        std::string path = "Resources/samples/" + name;
        Picture own;
        unsigned int width = 0, height = 0;
        unsigned char* expected
            = own.adopt(FreeImage_Load(FreeImage_GetFileType(path.c_str()), path.c_str(), 0), width, height);
        ASSERT_NE(expected, nullptr) << name;
        GLuint texture = loader.loadTexture(path, 1);
        ASSERT_NE(texture, loader.defaultTexture) << name;
        EXPECT_EQ(texels(texture), bytes(expected, static_cast<size_t>(width) * height * 4)) << name;
        glDeleteTextures(1, &texture);
    }
    // A common asset size, which the budget once refused.
    writeSparsePng("Resources/large.png", 4096);
    unsigned int width = 0, height = 0;
    GLuint large = loader.loadTexture("Resources/large.png", 1, width, height);
    EXPECT_NE(large, loader.defaultTexture);
    EXPECT_EQ(width, 4096u);
    glDeleteTextures(1, &large);
}

TEST_F(TextureLoaderTest, MissingDefaultPicturesStillGiveATexture)
{
    std::filesystem::remove_all("Resources");
    testing::internal::CaptureStdout();
    TextureLoader loader;
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        failureLine("Resources/default.png") + failureLine("Resources/defaultWhite.png"));
    EXPECT_EQ(loader.whiteTexture, loader.defaultTexture);
}

TEST_F(TextureLoaderTest, DecodedPicturesAreReleased)
{
    std::vector<std::uint8_t> rgba(512 * 512 * 4, 90);
    writePng("Resources/large.png", picture(512, 512, PngColour::rgba, 8, rgba));
    {
        TextureLoader loader;
        unsigned int width = 0, height = 0;
        EXPECT_NE(loader.loadImage("Resources/large.png", width, height), nullptr);
        EXPECT_EQ(TextureLoader::livePictures(), 1);
        EXPECT_NE(loader.loadImage("Resources/large.png", width, height), nullptr);
        EXPECT_EQ(TextureLoader::livePictures(), 1) << "the next load releases the previous picture";
        loader.releaseImage();
        EXPECT_EQ(TextureLoader::livePictures(), 0);
        EXPECT_EQ(loader.loadImage("Resources/missing.png", width, height), nullptr);
        EXPECT_NE(loader.loadImage("Resources/large.png", width, height), nullptr);
    }
    EXPECT_EQ(TextureLoader::livePictures(), 0) << "the destructor releases the picture";

    TextureLoader loader;
    auto loadMany = [&loader](int count) {
        for (int i = 0; i < count; ++i) {
            unsigned int width = 0, height = 0;
            loader.loadImage("Resources/large.png", width, height);
            GLuint texture = loader.loadTexture("Resources/large.png", 1);
            glDeleteTextures(1, &texture);
        }
    };
    loadMany(5);
    long before = residentBytes();
    // One megabyte per picture: two hundred kept pictures would show as 200 MiB.
    loadMany(100);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine, so resident size says nothing there.
    EXPECT_LT(residentBytes() - before, 32L << 20);
#else
    (void)before;
#endif
    EXPECT_EQ(TextureLoader::livePictures(), 0) << "a texture upload releases its picture";
}

TEST_F(TextureLoaderTest, SamplersOverrideTheFiltersOfTheirUnit)
{
    TextureLoader loader;
    GLuint sampler = loader.createSampler(3, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    EXPECT_TRUE(glIsSampler(sampler));
    GLint bound = 0, minFilter = 0, magFilter = 0;
    glActiveTexture(GL_TEXTURE3);
    glGetIntegerv(GL_SAMPLER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), sampler);
    glGetSamplerParameteriv(sampler, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetSamplerParameteriv(sampler, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    loader.setSamplerFilters(sampler, GL_NEAREST, GL_NEAREST);
    glGetSamplerParameteriv(sampler, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetSamplerParameteriv(sampler, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_NEAREST);
    EXPECT_EQ(magFilter, GL_NEAREST);
    glBindSampler(3, 0);
    glDeleteSamplers(1, &sampler);
    glActiveTexture(GL_TEXTURE0);
}
