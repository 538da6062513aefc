// Placeholder until the renderer lands.
#include "tools/gravitas-sim/RenderCommand.h"

int RunRenderCommand(const RenderOptions&, std::string& error) {
    error = "rendering is not available in this build";
    return 2;
}
