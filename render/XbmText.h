// The guard of X bitmaps: reads the width, the height and the bits from the text itself and
// hands the decoder the same bitmap written anew, so that comments, hot spots and any text
// FreeImage's reader would stumble over (it loops for ever on a file cut short) never reach
// it. A bitmap with fewer bits than its size needs is refused.
#pragma once

#include <cstddef>

class PictureFile;

class XbmText {
public:
    static void keep(const unsigned char* data, size_t size, PictureFile& picture);
};
