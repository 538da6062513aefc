// "Save Picture As…": the frame in the render buffer as a PNG file.
#pragma once
#include <string>

// Writes the render buffer, pixel for pixel, as a PNG. The file appears complete or not at all
// (written under a temporary name, then renamed); false with a message for the user.
bool WriteRenderBufferPNG(const std::string& path, std::string& error);
void SavePictureAsMenuItem();
