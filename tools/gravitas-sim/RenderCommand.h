// --render: draws the scenario's current state into a PNG with the real draw stage.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions {
    std::string outPath;
    int32_t width = 640;
    int32_t height = 480;
    int32_t cameraMode = -1;    // -1: keep the scenario's
    int32_t cameraBody = -1;    // -1: keep the scenario's
    int32_t labelFlags = -1;    // -1: keep the scenario's
    bool stereo = false;
    bool noStars = false;
    int32_t trailLength = -1;   // -1: keep the scenario's
};

// Installs the Qt offscreen platform and runs the application's start-up, so a
// scenario gets the application's defaults, picture list and star field and
// is drawn at width x height; false (with error) when the size is refused.
bool StartToolPlatform(int32_t width, int32_t height, std::string& error);
// The application's shut-down (every list, map and buffer released), then the platform removed.
void StopToolPlatform();
// Reads the picture files a JSON scenario names and gives them to its bodies;
// returns one line per file that could not be read.
std::vector<std::string> AttachScenarioPictures();
// The steps of a render, for commands that draw many frames: set up the view (0, or an exit
// code with error filled in), draw the current state into the render buffer, release the view.
int PrepareRender(const RenderOptions& options, std::string& error);
void DrawRenderFrame();
// Renders after the frames have run; 0 on success, else a non-zero exit code with error filled in.
int RunRenderCommand(const RenderOptions& options, std::string& error);
