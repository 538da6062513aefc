// The resources of a universe file, built from and read into plain data.
// Everything here is free of the simulation's globals so the layout and
// the checks can be tested on their own; io/Universe.cpp applies it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Epoch.h"
#include "core/Records.h"
#include "io/ResourceFile.h"

constexpr uint32_t kSettingsResType = FourCC("ORSt");
constexpr uint32_t kBodiesResType = FourCC("Bdez");
constexpr uint32_t kThrustResType = FourCC("TmTh");
constexpr uint32_t kPictResType = FourCC("PICT");
constexpr uint32_t kRingResType = FourCC("RgDt");
constexpr uint32_t kStringResType = FourCC("STR ");
// The epoch of the initial conditions: one big-endian f64, TDB seconds since J2000.
// Absent when the universe has no date; readers that do not know it pass it by.
constexpr uint32_t kEpochResType = FourCC("Epch");
constexpr int16_t kFirstBodyResID = 1024;
constexpr size_t kRingProfileBytes = 4096;
constexpr size_t kMinListResourceSize = 184;  // header plus one spare entry (or the whole settings)

struct UniverseSaveInput {
    SettingsStruct settings{};        // a copy of the settings (handles are replaced by IDs)
    const BodyListStruct* bodies = nullptr;
    size_t bodiesBlockSize = 0;
    const TimedThrustListStruct* thrust = nullptr;  // already cleaned
    size_t thrustBlockSize = 0;
    std::function<Handle(int32_t spherePixID)> picture;  // the body's picture, 0 = none
    double eyeDistance = 0;
    IJK cameraIJK{};
    bool embedPictures = true;
    std::string folder;  // where separate picture files go when not embedded
    EpochStruct epoch;
};

// Fills rf (which should be empty); false when a separate picture file cannot be written.
bool BuildUniverseResources(const UniverseSaveInput& in, ResourceFile& rf);

struct LoadedBody {
    BodyInfoStruct info{};           // native order; spherePixID and ringPix as in the file
    std::vector<uint8_t> picture;    // empty = no picture
    std::vector<uint8_t> ring;       // empty = no ring profile
};

struct LoadedUniverse {
    SettingsStruct settings{};  // native order, as stored (bodies/timedThrust hold resource IDs)
    std::vector<LoadedBody> bodies;
    std::vector<uint8_t> thrust;  // native TimedThrustListStruct block; empty = none
    EpochStruct epoch;            // unknown when the file has none or an unusable one
    bool usedFallback = false;    // settings or bodies came from another ID
    std::vector<std::string> warnings;  // what was left out, for a caution to the user
};

// False (nothing usable, error says why and names the field) when settings or
// bodies are missing or too short, or hold values that cannot be simulated.
// `readPictureFile` reads a separate picture file by its plain name in the
// universe's folder (none when unreadable); other names are not passed to it.
bool ReadUniverseResources(const ResourceFile& rf, LoadedUniverse& out, std::string& error,
                           const std::function<std::vector<uint8_t>(const std::string& fileName, bool& ok)>&
                               readPictureFile = {});

std::string PictureResourceName(const Str31 bodyName);
std::string RingResourceName(const Str31 bodyName);
// The file a separate picture is written to: the resource name made a plain file name.
std::string PictureFileName(const std::string& resourceName);
