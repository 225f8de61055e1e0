#include "render/XbmText.h"

#include "render/PictureFile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// The number after "#define NAME_<suffix>", or 0.
unsigned long defined(const std::string& text, const char* suffix)
{
    for (size_t at = text.find("#define"); at != std::string::npos; at = text.find("#define", at + 7)) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        size_t name = line.find_first_not_of(" \t", 7);
        size_t nameEnd = line.find_first_of(" \t", name);
        if (name == std::string::npos || nameEnd == std::string::npos)
            continue;
        std::string key = line.substr(name, nameEnd - name);
        size_t suffixLength = std::char_traits<char>::length(suffix);
        if (key.size() > suffixLength && key.compare(key.size() - suffixLength, suffixLength, suffix) == 0)
            return std::strtoul(line.c_str() + nameEnd, nullptr, 10);
    }
    return 0;
}

// The byte values between the opening brace and the closing one, as many as are wanted.
bool values(const std::string& text, size_t wanted, std::vector<unsigned int>& out)
{
    size_t at = text.find('{', text.find("_bits"));
    size_t close = text.find('}', at);
    if (at == std::string::npos || close == std::string::npos)
        return false;
    out.clear();
    while (out.size() < wanted) {
        at = text.find("0x", at);
        if (at == std::string::npos || at > close)
            return false;
        char* end = nullptr;
        unsigned long value = std::strtoul(text.c_str() + at + 2, &end, 16);
        if (end == text.c_str() + at + 2 || value > 0xFF)
            return false;
        out.push_back(static_cast<unsigned int>(value));
        at = static_cast<size_t>(end - text.c_str());
    }
    return true;
}
}

void XbmText::keep(const unsigned char* data, size_t size, PictureFile& picture)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    unsigned long width = defined(text, "_width");
    unsigned long height = defined(text, "_height");
    if (width == 0 || height == 0 || width > PictureFile::maxSide || height > PictureFile::maxSide)
        return;
    std::vector<unsigned int> bits;
    if (!values(text, ((width + 7) / 8) * height, bits))
        return;
    std::string clean = "#define x_width " + std::to_string(width) + "\n#define x_height " + std::to_string(height)
        + "\nstatic char x_bits[] = {\n";
    char hex[8];
    for (size_t i = 0; i < bits.size(); ++i) {
        std::snprintf(hex, sizeof hex, "0x%02x%s", bits[i], i + 1 < bits.size() ? ", " : "\n");
        clean += hex;
    }
    clean += "};\n";
    picture.width = static_cast<unsigned int>(width);
    picture.height = static_cast<unsigned int>(height);
    picture.bytes.assign(clean.begin(), clean.end());
}
