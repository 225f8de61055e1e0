// Reads files only when they are regular files: a directory, FIFO or device in place of a file
// reads like a missing one, without blocking, and a file over the caller's cap like an
// unreadable one, so no file can hang a loader or make it allocate without bound.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RegularFile {
public:
    // The whole file; false when it cannot be opened, is not a regular file or holds more than
    // maxBytes.
    static bool read(const std::string& path, size_t maxBytes, std::vector<unsigned char>& bytes);
    static bool read(const std::string& path, size_t maxBytes, std::string& text);
    // Whether the path names a regular file that opens for reading.
    static bool readable(const std::string& path);
};
