#include "io/PictureExport.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "io/FileFolders.h"
#include "io/FileTypes.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

bool WriteRenderBufferPNG(const std::string& path, std::string& error) {
    const PixelSurface surface = RenderSurface();
    if (!surface.base || surface.width <= 0 || surface.height <= 0) {
        error = "There is no picture to save yet.";
        return false;
    }
    const PictureBytes png = Platform().EncodePicture(surface);
    if (png.empty()) {
        error = "The picture could not be encoded as PNG.";
        return false;
    }
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".part-" + std::to_string(getpid()))).string();
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        error = "Cannot write the picture \"" + path + "\".";
        return false;
    }
    bool ok = std::fwrite(png.data(), 1, png.size(), out) == png.size();
    ok = std::fclose(out) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, target, ec);
    if (!ok || ec) {
        std::remove(temp.c_str());
        error = "The picture \"" + path + "\" could not be written completely; is the disk full?";
        return false;
    }
    return true;
}

void SavePictureAsMenuItem() {
    std::string path;
    if (!ChooseSaveFileRemembered("Save the picture as", "Gravitas picture.png", kPngFileType, path)) return;
    std::string error;
    if (!WriteRenderBufferPNG(path, error)) Platform().StopAlert(error);
}
