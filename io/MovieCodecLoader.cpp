#include "io/MovieCodecLoader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef GRAVITAS_MODULE_SUBDIR
#define GRAVITAS_MODULE_SUBDIR "lib/gravitas"
#endif

namespace {

namespace fs = std::filesystem;

struct Loaded {
    const MovieCodecModule* module = nullptr;
    std::string error;
};

// Where to look, in order. The executable's own folder comes from /proc/self/exe, so the
// working directory and argv[0] do not matter.
std::vector<fs::path> Candidates() {
    if (const char* named = std::getenv("GRAVITAS_MOVIE_MODULE"); named && *named) return {fs::path(named)};
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    std::vector<fs::path> found;
    fs::path dir = exe.parent_path();
    found.push_back(dir / kMovieCodecModuleFile);
    for (int up = 0; up < 3 && !dir.empty(); ++up, dir = dir.parent_path())
        found.push_back(dir / GRAVITAS_MODULE_SUBDIR / kMovieCodecModuleFile);
    return found;
}

Loaded Load() {
    Loaded out;
    const std::vector<fs::path> candidates = Candidates();
    std::error_code ec;
    for (const fs::path& path : candidates) {
        if (!fs::exists(path, ec)) continue;
        // Local symbols: FFmpeg's names stay out of the process's global namespace.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            out.error = "Movies cannot be recorded: the movie encoder \"" + path.string() + "\" could not be loaded (" +
                        (why ? why : "unknown reason") + "); is FFmpeg installed?";
            return out;
        }
        auto entry = reinterpret_cast<MovieCodecModuleEntry>(dlsym(handle, kMovieCodecModuleEntry));
        const MovieCodecModule* module = entry ? entry() : nullptr;
        if (!module || module->version != kMovieCodecModuleVersion) {
            // Left loaded: the library has run its initialisers, and unloading code we do not
            // know may leave its allocations and handlers dangling.
            out.error = "Movies cannot be recorded: \"" + path.string() + "\" is not this version's movie encoder.";
            return out;
        }
        out.module = module;  // stays loaded until the process ends
        return out;
    }
    const char* named = std::getenv("GRAVITAS_MOVIE_MODULE");
    out.error = "Movies cannot be recorded: the movie encoder " +
                (named && *named ? "\"" + std::string(named) + "\" does not exist."
                                 : std::string(kMovieCodecModuleFile) + " was not found beside the program or in its " +
                                       GRAVITAS_MODULE_SUBDIR + " folder.");
    return out;
}

}  // namespace

const MovieCodecModule* MovieCodecModuleOrError(std::string& error) {
    static const Loaded loaded = Load();  // once, whichever thread asks first
    if (!loaded.module) error = loaded.error;
    return loaded.module;
}
