#include "render/NetpbmHeader.h"

#include "render/PictureFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {
// A size or sample maximum: up to five digits, the largest side being 16384 and the largest
// sample value 65535.
bool number(const std::string& text, unsigned long& value)
{
    if (text.empty() || text.size() > 5
        || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    value = std::strtoul(text.c_str(), nullptr, 10);
    return true;
}

// A float map's scale: a plain decimal number whose sign gives the byte order.
bool scale(const std::string& text)
{
    if (text.empty() || text.size() > 24)
        return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}
}

std::string NetpbmHeader::word(const unsigned char* data, size_t size, size_t& at)
{
    std::string text;
    while (at < size && (std::isspace(data[at]) || data[at] == '#')) {
        if (data[at] == '#') {
            while (at < size && data[at] != '\n' && data[at] != '\r')
                ++at;
        } else {
            ++at;
        }
    }
    while (at < size && !std::isspace(data[at]) && data[at] != '#' && text.size() < 32)
        text.push_back(static_cast<char>(data[at++]));
    return text;
}

void NetpbmHeader::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    if (size < 3 || data[0] != 'P')
        return;
    char kind = static_cast<char>(data[1]);
    bool floatMap = kind == 'F' || kind == 'f';
    if (!floatMap && (kind < '1' || kind > '6'))
        return;
    size_t at = 2;
    unsigned long width = 0;
    unsigned long height = 0;
    unsigned long maximum = 1;
    if (!number(word(data, size, at), width) || !number(word(data, size, at), height))
        return;
    std::string header = std::string("P") + kind + "\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    bool withMaximum = kind != '1' && kind != '4';
    if (floatMap) {
        std::string text = word(data, size, at);
        if (!scale(text))
            return;
        header += text + "\n";
    } else if (withMaximum) {
        if (!number(word(data, size, at), maximum) || maximum == 0)
            return;
        header += std::to_string(maximum) + "\n";
    }
    // One whitespace byte ends the header; the samples follow.
    if (at >= size)
        return;
    ++at;
    picture.bytes.assign(header.begin(), header.end());
    picture.bytes.insert(picture.bytes.end(), data + at, data + size);
    picture.width = static_cast<unsigned int>(width);
    picture.height = static_cast<unsigned int>(height);
}
