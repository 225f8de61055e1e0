// Small valid pictures in every format and depth the picture loader reads, written into one
// folder: the seeds of the picture fuzz target and the set the loader's decoding is compared
// on. Those FreeImage can write are saved through it; the rest are written byte by byte
// (HandmadePictures). All are drawn from one 13 x 7 picture, so that padding and odd rows show.
#pragma once

#include <string>
#include <vector>

struct FIBITMAP;

class PictureSamples {
public:
    explicit PictureSamples(const std::string& folder);

    // Writes every sample; the names say format, depth and encoding ("bmp-8-rle.bmp").
    bool writeAll() const;

    static constexpr unsigned int width = 13;
    static constexpr unsigned int height = 7;

    // The 32-bit source picture, some pixels transparent.
    static FIBITMAP* source();

private:
    bool saveAll() const;
    bool saveFloatAndWide() const;
    bool savePngVariants() const;
    bool derived() const;
    bool saveWithMetadata() const;
    bool write(const std::string& name, const std::vector<unsigned char>& bytes) const;
    bool save(FIBITMAP* picture, int format, const std::string& name, int flags = 0) const;

    std::string folder;
};
