// The resource generator: writes every picture and model of the game into one folder.
// Usage: resgen <output folder> <regular font> <bold font>
//    or: resgen --icons <icon folder>
//    or: resgen --pictures <folder>   (sample pictures of every format the game reads)
#include "IconPainter.h"
#include "LevelPainter.h"
#include "ModelBuilder.h"
#include "PictureSamples.h"
#include "RoomBuilder.h"
#include "ScreenPainter.h"
#include "TexturePainter.h"

#include <FreeImage.h>

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        FreeImage_Initialise();
        bool ok = IconPainter(argv[2]).writeAll();
        FreeImage_DeInitialise();
        return ok ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--pictures") {
        std::filesystem::create_directories(argv[2]);
        FreeImage_Initialise();
        bool ok = PictureSamples(argv[2]).writeAll();
        FreeImage_DeInitialise();
        return ok ? 0 : 1;
    }
    if (argc < 4) {
        std::cout << "usage: resgen <output folder> <regular font> <bold font>" << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    FreeImage_Initialise();

    TexturePainter textures(folder);
    ScreenPainter screens(folder, argv[2], argv[3]);
    ModelBuilder models(folder);
    RoomBuilder rooms(folder);
    LevelPainter levels(folder);
    if (!screens.fontsLoaded()) {
        std::cout << "resgen: could not load the fonts " << argv[2] << " and " << argv[3] << std::endl;
        return 1;
    }

    bool ok = textures.writeDefaults() && textures.writeFloor() && textures.writeTrack() && textures.writeRackFront()
        && textures.writeColourBall();
    ok = ok && screens.writeLoadingScreen() && screens.writeWinScreen() && screens.writeLoseScreen();
    ok = ok && models.writeCrosshair() && models.writeVehicle() && models.writeFigure();
    ok = ok && rooms.writeTutorialRoom() && levels.writeTutorial(rooms.footprints());
    ok = ok && rooms.writeServerRoom() && levels.writeServer(rooms.footprints());
    FreeImage_DeInitialise();
    if (!ok) {
        std::cout << "resgen: writing the resources failed" << std::endl;
        return 1;
    }
    std::ofstream(folder + "/resgen.stamp") << "resources written\n";
    return 0;
}
