#include "render/MngChunks.h"

#include "render/ByteOrder.h"
#include "render/JpegStream.h"
#include "render/PictureFile.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {
const unsigned char mngSignature[8] = { 0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
const unsigned char jngSignature[8] = { 0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };

bool is(const unsigned char* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

bool pictureChunk(const unsigned char* type)
{
    static const char* const kept[] = { "IHDR", "PLTE", "tRNS", "gAMA", "cHRM", "sRGB", "iCCP", "IDAT", "JHDR" };
    return std::any_of(std::begin(kept), std::end(kept), [type](const char* t) { return is(type, t); });
}

// JPEG data split over chunks of one kind, joined and stripped. The decoder makes a picture of
// the size the JPEG's own frame declares, whatever the JNG header says: the larger counts.
std::vector<unsigned char> strippedJpeg(const std::vector<unsigned char>& joined, PictureFile& picture)
{
    PictureFile jpeg;
    JpegStream::keep(joined.data(), joined.size(), jpeg);
    picture.width = std::max(picture.width, jpeg.width);
    picture.height = std::max(picture.height, jpeg.height);
    return jpeg.bytes;
}
}

void MngChunks::put(std::vector<unsigned char>& out, const char* type, const unsigned char* body, size_t length)
{
    ByteOrder::putBig32(out, static_cast<unsigned int>(length));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body, body + length);
    ByteOrder::putBig32(out, FreeImage_ZLibCRC32(0, out.data() + start, static_cast<DWORD>(length + 4)));
}

void MngChunks::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    bool mng = size >= 8 && std::memcmp(data, mngSignature, 8) == 0;
    if (!mng && !(size >= 8 && std::memcmp(data, jngSignature, 8) == 0))
        return;
    std::vector<unsigned char> out(data, data + 8);
    // A JNG picture's colour (JPEG), alpha (PNG or JPEG) data, joined from their chunks.
    std::vector<unsigned char> colour;
    std::vector<unsigned char> alphaPng;
    std::vector<unsigned char> alphaJpeg;
    bool started = false;
    bool jng = false;
    for (size_t at = 8; at + 12 <= size;) {
        const unsigned char* type = data + at + 4;
        size_t length = ByteOrder::big32(data + at);
        if (length > size - at - 12)
            return;
        const unsigned char* body = data + at + 8;
        at += 12 + length;
        if (!started && mng && is(type, "MHDR"))
            put(out, "MHDR", body, length);
        if (!started && (is(type, "IHDR") || is(type, "JHDR")) && length >= 8) {
            started = true;
            jng = is(type, "JHDR");
            picture.width = ByteOrder::big32(body);
            picture.height = ByteOrder::big32(body + 4);
        }
        if (!started)
            continue;
        if (jng && is(type, "JDAT"))
            colour.insert(colour.end(), body, body + length);
        else if (jng && is(type, "JDAA"))
            alphaJpeg.insert(alphaJpeg.end(), body, body + length);
        else if (jng && is(type, "IDAT"))
            alphaPng.insert(alphaPng.end(), body, body + length);
        else if (is(type, "IEND"))
            break;
        else if (pictureChunk(type))
            put(out, std::string(reinterpret_cast<const char*>(type), 4).c_str(), body, length);
        if (at + 12 > size)
            return;
    }
    if (!started || (jng && colour.empty())) {
        picture.width = picture.height = 0;
        return;
    }
    if (jng) {
        std::vector<unsigned char> jpeg = strippedJpeg(colour, picture);
        put(out, "JDAT", jpeg.data(), jpeg.size());
        if (!alphaPng.empty())
            put(out, "IDAT", alphaPng.data(), alphaPng.size());
        if (!alphaJpeg.empty()) {
            jpeg = strippedJpeg(alphaJpeg, picture);
            put(out, "JDAA", jpeg.data(), jpeg.size());
        }
    }
    put(out, "IEND", nullptr, 0);
    if (mng)
        put(out, "MEND", nullptr, 0);
    picture.bytes = out;
}
