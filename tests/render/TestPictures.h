// Picture files written byte by byte for the texture tests, so that what the file holds does not
// depend on the library that reads it back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// PNG colour types as the file format numbers them.
enum class PngColour : std::uint8_t { grey = 0, rgb = 2, palette = 3, greyAlpha = 4, rgba = 6 };

struct PngPicture {
    unsigned int width = 0;
    unsigned int height = 0;
    PngColour colour = PngColour::rgba;
    int bitDepth = 8;
    // Rows top first as the file stores them, samples big-endian, without filter bytes.
    std::vector<std::uint8_t> rows;
    // RGB triples for palette pictures.
    std::vector<std::uint8_t> palette;
};

void writePng(const std::string& path, const PngPicture& picture);
// A valid signature and header claiming the given size, followed by a tiny truncated image chunk.
void writePngHeaderOnly(const std::string& path, unsigned int width, unsigned int height);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// A one-colour 8-bit RGBA picture; rgba is red, green, blue, alpha.
void writeSolidPng(const std::string& path, unsigned int width, unsigned int height, const std::uint8_t rgba[4]);
// A kept input of the picture fuzz target, copied to `to` without its first byte (which only
// chooses a file name for the target); returns `to`.
std::string pictureRegression(const std::string& name, const std::string& to);
// Writes the generator's sample pictures of every format into `folder`; false when it fails.
bool writePictureSamples(const std::string& folder);

// What FreeImage's own load of a file does, run in a child process so that a crash or hang
// stays there (AddressSanitizer ends a faulting process with status 1).
enum class Alone { decoded, failed, died, stillRunning };
Alone freeImageAlone(const std::string& path, int seconds = 120);
