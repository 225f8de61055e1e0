// Small pictures the floor tests write themselves, and a TextureLoader made in a folder that
// holds the two default pictures it needs.
#pragma once

#include <glm/glm.hpp>

#include <functional>
#include <string>

class TextureLoader;

// Byte colour (red, green, blue, alpha) of pixel (column, row), row 0 at the top.
using PixelColour = std::function<glm::ivec4(int column, int row)>;

// Writes a 32-bit PNG; returns its path.
std::string writePng(const std::string& path, int width, int height, const PixelColour& colour);
std::string writeFlatPng(const std::string& path, int width, int height, glm::ivec4 colour);
// A TextureLoader whose "Resources/default.png" and "Resources/defaultWhite.png" come from
// `folder`, which is the working directory only while it is created.
TextureLoader* makeTextureLoader(const std::string& folder);
// Colour of the floor arrays for a byte colour.
glm::vec4 floatColour(glm::ivec4 bytes);
