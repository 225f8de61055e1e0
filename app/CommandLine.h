// The command line: a width and a height mean full screen at that size; anything else a
// 1024 x 768 window. Arguments that are not numbers, and sides over 16384, are refused with a
// usage line.
#pragma once

#include <string>

struct CommandLine {
    bool ok = true;
    bool fullscreen = false;
    int width = 1024;
    int height = 768;
    std::string error;

    static CommandLine parse(int argc, char** argv);
    static const char* usage();
};
