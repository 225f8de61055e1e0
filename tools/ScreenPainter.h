// The lettered pictures: the loading screen with the title and the controls, and the win and
// lose banners of the end screen.
#pragma once

#include "Lettering.h"

#include <string>

class ScreenPainter {
public:
    ScreenPainter(const std::string& folder, const std::string& regularFont, const std::string& boldFont);

    bool fontsLoaded() const
    {
        return regular.ok() && bold.ok();
    }
    bool writeLoadingScreen();
    bool writeWinScreen();
    bool writeLoseScreen();

private:
    void outlinedText(Image& img, const std::string& text, float cx, float baseline, int size, Colour fill,
        Colour outline, float width);
    void drawVehicle(Image& img, float x, float y, float s);

    std::string folder;
    Lettering regular;
    Lettering bold;
};
