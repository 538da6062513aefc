#include "io/PictureExport.h"

#include "io/FileAccess.h"
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
    // The saving rules of every file the application writes: a failure leaves an earlier file whole.
    std::string why;
    if (ReplaceFileContents(path, png.data(), png.size(), why)) return true;
    error = "Cannot write the picture \"" + path + "\": " + why + ".";
    return false;
}

void SavePictureAsMenuItem() {
    std::string path;
    if (!ChooseSaveFileRemembered("Save the picture as", "Gravitas picture.png", kPngFileType, path)) return;
    std::string error;
    if (!WriteRenderBufferPNG(path, error)) Platform().StopAlert(error);
}
