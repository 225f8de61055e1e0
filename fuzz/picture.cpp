// Any bytes as a picture file of the texture loader: stripped, checked against the texture
// budget and decoded to BGRA as loadImage does, without the GL upload.
#include "render/Picture.h"
#include "render/PictureFile.h"
#include "render/TextureLoader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Picture picture;
    unsigned int width = 0;
    unsigned int height = 0;
    const unsigned char* pixels
        = picture.decode(PictureFile::fromBytes(data, size), TextureLoader::pictureBudget, width, height);
    // Touch the first and last pixel: the whole promised array must be there.
    volatile unsigned char sum = 0;
    if (pixels)
        sum = sum + pixels[0] + pixels[static_cast<size_t>(width) * height * 4 - 1];
    return 0;
}
