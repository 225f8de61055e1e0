#include "app/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
// Reads a number the way the standard string-to-int conversion does (leading white space,
// optional sign, digits, the rest ignored), but says when there is no number or it does not
// fit into 32 bits.
bool readNumber(const char* text, int& value)
{
    errno = 0;
    char* end = nullptr;
    long long number = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}

// X and the GL driver crash on windows with sides of 32768 and more; no screen comes near this.
const int largestSide = 16384;
}

CommandLine CommandLine::parse(int argc, char** argv)
{
    CommandLine line;
    if (argc < 3)
        return line;
    int width = 0;
    int height = 0;
    int third = 0;
    const char* names[] = { "width", "height", "third" };
    int* values[] = { &width, &height, &third };
    for (int i = 1; i < argc && i <= 3; ++i) {
        if (!readNumber(argv[i], *values[i - 1])) {
            line.ok = false;
            line.error = std::string("tintbox: the ") + names[i - 1] + " argument \"" + argv[i]
                + "\" is not a whole number in the 32-bit range";
            return line;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (*values[i] > largestSide) {
            line.ok = false;
            line.error = std::string("tintbox: the ") + names[i] + " argument \"" + argv[i + 1] + "\" is larger than "
                + std::to_string(largestSide) + ", the largest window side";
            return line;
        }
    }
    if (width < 320 || height < 240) {
        width = 320;
        height = 240;
    }
    line.width = width;
    line.height = height;
    line.fullscreen = true;
    return line;
}

const char* CommandLine::usage()
{
    return "usage: tintbox [width height [n]]   (a size means full screen, 320 x 240 to 16384 x 16384)";
}
