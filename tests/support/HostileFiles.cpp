#include "tests/support/HostileFiles.h"

#include <FreeImage.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A 16 x 16 grey JPEG as FreeImage writes it.
std::string smallJpeg(const std::string& path)
{
    FIBITMAP* picture = FreeImage_Allocate(16, 16, 24);
    RGBQUAD grey = { 90, 90, 90, 0 };
    FreeImage_FillBackground(picture, &grey);
    FreeImage_Save(FIF_JPEG, picture, path.c_str(), JPEG_QUALITYSUPERB);
    FreeImage_Unload(picture);
    return readAll(path);
}

std::string segment(unsigned char marker, const std::string& data)
{
    size_t length = data.size() + 2;
    return std::string { '\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length) }
    + data;
}

long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size(), field) == 0)
            return std::stol(line.substr(field.size()));
    }
    return 0;
}
}

void writeExifBombJpeg(const std::string& path)
{
    std::string jpeg = smallJpeg(path);
    // Little-endian TIFF header, first directory at offset 8, claiming 0xFFFF entries of 12 bytes.
    std::string exif = std::string("Exif\0\0II*\0\x08\0\0\0\xFF\xFF", 16) + std::string(24, '\x01');
    jpeg.insert(2, segment(0xE1, exif) + segment(0xFE, "made to hurt"));
    writeAll(path, jpeg);
}

void writeSparsePng(const std::string& path, unsigned int side)
{
    FIBITMAP* picture = FreeImage_Allocate(static_cast<int>(side), static_cast<int>(side), 1);
    FreeImage_Save(FIF_PNG, picture, path.c_str(), PNG_Z_BEST_COMPRESSION);
    FreeImage_Unload(picture);
}

void writeOversizedJpeg(const std::string& path, unsigned int side)
{
    std::string jpeg = smallJpeg(path);
    size_t frame = jpeg.find("\xFF\xC0");
    for (size_t at : { frame + 5, frame + 7 }) {
        jpeg[at] = static_cast<char>(side >> 8);
        jpeg[at + 1] = static_cast<char>(side);
    }
    writeAll(path, jpeg);
}

namespace {
std::string little(unsigned int value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
    return out;
}
}

void writeOversizedBmp(const std::string& path, unsigned int side)
{
    std::string info
        = little(40, 4) + little(side, 4) + little(side, 4) + little(1, 2) + little(24, 2) + std::string(24, '\0');
    writeAll(path, "BM" + little(54 + 64, 4) + little(0, 4) + little(54, 4) + info + std::string(64, '\x7F'));
}

void writeOversizedTga(const std::string& path, unsigned int side)
{
    // Type 10: run-length true colour, 24 bits; then one run of 128 pixels.
    std::string header = std::string("\0\0\x0A", 3) + std::string(9, '\0') + little(side, 2) + little(side, 2)
        + std::string("\x18\x20", 2);
    writeAll(path, header + std::string("\xFF\x10\x20\x30", 4));
}

void makeFifo(const std::string& path)
{
    std::filesystem::remove(path);
    mkfifo(path.c_str(), 0644);
}

void linkToDevice(const std::string& path)
{
    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/zero", path);
}

long resetPeakResident()
{
    // Writing 5 to clear_refs starts the peak over from the current resident size.
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmHWM:") * 1024;
}

long peakResident()
{
    return statusKb("VmHWM:") * 1024;
}
