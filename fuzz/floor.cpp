// Any bytes as a floor picture: decoded within a pixel budget, then taken as the original
// picture over a blank paint picture of its size, painted across and scored, as the floor's
// colour state does without GL. The budget is far below the floor's: the same code runs, and
// the fuzzer does not spend its time on pictures of a million pixels.
#include "game/PaintCanvas.h"
#include "render/Picture.h"
#include "render/PictureFile.h"

#include <cstdint>

namespace {
const size_t fuzzBudget = 256 * 256;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Picture picture;
    unsigned int width = 0;
    unsigned int height = 0;
    const unsigned char* pixels = picture.decode(PictureFile::fromBytes(data, size), fuzzBudget, width, height);
    if (!pixels)
        return 0;
    PaintCanvas canvas;
    canvas.setPaintPicture(width, height, std::vector<float>(static_cast<size_t>(width) * height * 4, 0.0f));
    if (!canvas.setOriginalPicture(PaintCanvas::toRgba(pixels, width, height)))
        __builtin_trap();
    for (unsigned int step = 0; step < 64; ++step) {
        canvas.paintPixel(static_cast<int>(step * 7 % width), static_cast<int>(step * 5 % height),
            glm::vec4(canvas.currentColour, 1.0f));
        canvas.cycleColour(1);
    }
    canvas.score();
    return 0;
}
