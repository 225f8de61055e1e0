// Reads the size of a picture through FreeImage's header-only load, for the formats whose
// readers take the header without decoding pixels or parsing metadata on the way; where the
// format's header is simple, it is read here too and the two must agree (FreeImage wraps
// sizes past an int round, and its decoder then overruns its buffer).
#pragma once

class PictureFile;

class PictureHeader {
public:
    // Sets the picture's width and height from its bytes and format; 0 x 0 when unreadable.
    static void measure(PictureFile& picture);
};
