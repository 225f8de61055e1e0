#include "tests/render/TestPictures.h"

#include "tests/support/GlTest.h"

#include <FreeImage.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data)
{
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    put32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(body.data(), body.size()));
}

std::vector<std::uint8_t> header(unsigned int width, unsigned int height, int bitDepth, PngColour colour)
{
    std::vector<std::uint8_t> data;
    put32(data, width);
    put32(data, height);
    data.push_back(static_cast<std::uint8_t>(bitDepth));
    data.push_back(static_cast<std::uint8_t>(colour));
    data.insert(data.end(), { 0, 0, 0 });
    return data;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = { 0x78, 0x01 };
    size_t offset = 0;
    do {
        size_t length = std::min<size_t>(raw.size() - offset, 65535);
        bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());
    put32(out, adler32(raw));
    return out;
}

int samplesPerPixel(PngColour colour)
{
    switch (colour) {
    case PngColour::rgb:
        return 3;
    case PngColour::greyAlpha:
        return 2;
    case PngColour::rgba:
        return 4;
    default:
        return 1;
    }
}

const std::vector<std::uint8_t> signature = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writePng(const std::string& path, const PngPicture& picture)
{
    size_t rowBytes = (static_cast<size_t>(picture.width) * samplesPerPixel(picture.colour) * picture.bitDepth + 7) / 8;
    std::vector<std::uint8_t> raw;
    for (unsigned int row = 0; row < picture.height; ++row) {
        raw.push_back(0);
        auto start = picture.rows.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
        raw.insert(raw.end(), start, start + static_cast<std::ptrdiff_t>(rowBytes));
    }
    std::vector<std::uint8_t> out = signature;
    putChunk(out, "IHDR", header(picture.width, picture.height, picture.bitDepth, picture.colour));
    if (picture.colour == PngColour::palette)
        putChunk(out, "PLTE", picture.palette);
    putChunk(out, "IDAT", zlibStored(raw));
    putChunk(out, "IEND", {});
    writeBytes(path, out);
}

void writePngHeaderOnly(const std::string& path, unsigned int width, unsigned int height)
{
    std::vector<std::uint8_t> out = signature;
    putChunk(out, "IHDR", header(width, height, 8, PngColour::rgba));
    putChunk(out, "IDAT", zlibStored({ 0, 1, 2, 3 }));
    writeBytes(path, out);
}

void writeSolidPng(const std::string& path, unsigned int width, unsigned int height, const std::uint8_t rgba[4])
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    for (unsigned int i = 0; i < width * height; ++i)
        picture.rows.insert(picture.rows.end(), rgba, rgba + 4);
    writePng(path, picture);
}

std::string pictureRegression(const std::string& name, const std::string& to)
{
    std::ifstream in(std::string(TINTBOX_SOURCE_DIR) + "/fuzz/regressions/picture/" + name, std::ios::binary);
    in.get();
    std::ofstream(to, std::ios::binary) << in.rdbuf();
    return to;
}

bool writePictureSamples(const std::string& folder)
{
    // FreeImage's writers leak and free with the wrong call: the generator's business, not the game's.
    std::string command = "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0:alloc_dealloc_mismatch=0 "
        + buildPath("tools/resgen") + " --pictures " + folder + " > /dev/null";
    return std::system(command.c_str()) == 0;
}

Alone freeImageAlone(const std::string& path, int seconds)
{
    pid_t child = fork();
    if (child == 0) {
        FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
        if (format == FIF_UNKNOWN)
            format = FreeImage_GetFIFFromFilename(path.c_str());
        _exit(FreeImage_Load(format, path.c_str(), 0) ? 0 : 2);
    }
    int status = 0;
    for (int waited = 0; waited < seconds * 20; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child) {
            if (!WIFEXITED(status) || WEXITSTATUS(status) == 1)
                return Alone::died;
            return WEXITSTATUS(status) == 0 ? Alone::decoded : Alone::failed;
        }
        usleep(50000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return Alone::stillRunning;
}
