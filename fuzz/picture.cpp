// Any bytes as a picture file of the texture loader: its format found, stripped, checked
// against a pixel budget and decoded to BGRA as loadImage does, without the GL upload. The
// budget is far below the game's: the same code runs, and the fuzzer does not spend its time
// decoding large pictures. The first byte chooses the name the format is guessed from when the
// content does not tell, so formats found only by their extension are reached too.
#include "render/Picture.h"
#include "render/PictureFile.h"

#include <cstdint>

namespace {
const char* const names[] = { "x.tga", "x.cut", "x.koa", "x.pcd", "x.wbmp", "x.xbm", "x.sgi", "x.raw", "x.pct", "x" };
const size_t fuzzBudget = 256 * 256;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Picture picture;
    unsigned int width = 0;
    unsigned int height = 0;
    const char* name = names[data[0] % (sizeof names / sizeof names[0])];
    const unsigned char* pixels
        = picture.decode(PictureFile::fromBytes(data + 1, size - 1, name), fuzzBudget, width, height);
    // Touch the first and last pixel: the whole promised array must be there.
    volatile unsigned char sum = 0;
    if (pixels)
        sum = sum + pixels[0] + pixels[static_cast<size_t>(width) * height * 4 - 1];
    return 0;
}
