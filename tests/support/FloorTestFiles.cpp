#include "tests/support/FloorTestFiles.h"

#include "render/TextureLoader.h"

#include <FreeImage.h>

#include <filesystem>
#include <stdexcept>

std::string writePng(const std::string& path, int width, int height, const PixelColour& colour)
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 32);
    for (int row = 0; row < height; ++row) {
        // FreeImage keeps the bottom row first.
        BYTE* line = FreeImage_GetScanLine(picture, height - 1 - row);
        for (int column = 0; column < width; ++column) {
            glm::ivec4 c = colour(column, row);
            line[column * 4 + FI_RGBA_RED] = static_cast<BYTE>(c.r);
            line[column * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(c.g);
            line[column * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(c.b);
            line[column * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(c.a);
        }
    }
    bool saved = FreeImage_Save(FIF_PNG, picture, path.c_str(), 0);
    FreeImage_Unload(picture);
    if (!saved)
        throw std::runtime_error("could not write " + path);
    return path;
}

std::string writeFlatPng(const std::string& path, int width, int height, glm::ivec4 colour)
{
    return writePng(path, width, height, [colour](int, int) { return colour; });
}

TextureLoader* makeTextureLoader(const std::string& folder)
{
    std::filesystem::create_directories(folder + "/Resources");
    writeFlatPng(folder + "/Resources/default.png", 2, 2, { 255, 0, 255, 255 });
    writeFlatPng(folder + "/Resources/defaultWhite.png", 2, 2, { 255, 255, 255, 255 });
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    TextureLoader* loader = new TextureLoader();
    std::filesystem::current_path(previous);
    return loader;
}

glm::vec4 floatColour(glm::ivec4 bytes)
{
    return glm::vec4(bytes.r / 255.0, bytes.g / 255.0, bytes.b / 255.0, bytes.a / 255.0);
}
