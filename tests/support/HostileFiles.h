// Files made to hurt a loader, written by the tests themselves: pictures whose metadata or
// declared size would crash or balloon a decoder, and things that are not regular files.
#pragma once

#include <string>

// A small JPEG with an Exif segment whose first directory claims 65,535 entries, and a comment.
void writeExifBombJpeg(const std::string& path);
// A 1-bit PNG of side x side pixels, all black: a few kilobytes that decode to side * side * 4 bytes.
void writeSparsePng(const std::string& path, unsigned int side);
// A small JPEG whose frame header declares side x side pixels.
void writeOversizedJpeg(const std::string& path, unsigned int side);
// A 24-bit bitmap and a run-length Targa picture whose headers declare side x side pixels,
// followed by a few bytes of pixels.
void writeOversizedBmp(const std::string& path, unsigned int side);
void writeOversizedTga(const std::string& path, unsigned int side);
// A FIFO nobody writes to, and a link to /dev/zero, in place of a file.
void makeFifo(const std::string& path);
void linkToDevice(const std::string& path);
// Growth of this process's peak resident size, in bytes, while `work` runs.
template <typename Work> long peakGrowth(Work work);
long resetPeakResident();
long peakResident();

template <typename Work> long peakGrowth(Work work)
{
    long before = resetPeakResident();
    work();
    return peakResident() - before;
}
