// The records shared by every module: settings, bodies, run-time state, frames.
// SettingsStruct, BodyInfoStruct and the timed-thrust records are stored in
// universe files byte for byte (after byte swapping), so their layouts are fixed
// and checked below.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/Memory.h"

using MyReal = double;

// Counted strings: one length byte, then the characters.
using Str31 = uint8_t[32];
using Str255 = uint8_t[256];

struct RGBColor {
    uint16_t red, green, blue;
};

struct Point {  // screen point, vertical first as in every record that stores one
    int16_t v, h;
};

struct Rect {
    int16_t top, left, bottom, right;
};

// Orientation frame: three orthonormal vectors in 16.16 fixed point (65536 = 1.0).
// For the camera, i points right, j up and k backwards (the eye looks along -k).
struct IJK {
    int32_t i[3];
    int32_t j[3];
    int32_t k[3];
};
constexpr int32_t kFixedOne = 65536;

// ---------------------------------------------------------------- settings

// displayFlags bits
constexpr uint32_t kSphereMappingOffFlag = 1;
constexpr uint32_t kStarFieldOffFlag = 2;
constexpr uint32_t kStereoOnFlag = 4;
constexpr uint32_t kKeepCameraLevelFlag = 8;

struct SettingsStruct {
    uint32_t reserved0;
    uint32_t reserved4;
    double gravConstant;
    double powerLaw;
    double timeStep;
    double viewAngle;  // degrees
    int32_t pushMethod;
    int32_t pushesPerFrame;
    int32_t minPointSize;
    uint32_t reserved52;
    uint32_t displayFlags;
    uint32_t labelFlags;
    int32_t eyeRadius;
    int32_t trailLength;
    Handle bodies;       // body list; in files the ID of the body list resource (little-endian!)
    Handle timedThrust;  // thrust schedule; in files the ID of the schedule resource
    double craftThrust;
    double autoRotation;
    double savedEyeDistance;
    double savedCameraTilt;
    double savedCameraAzimuth;
    int32_t onCrash;
    int32_t cameraSelection;
    int32_t cameraMode;
    uint32_t physicsOptions;  // kRelativityOn or anything else (off); see below
    double reserved136;
    double reserved144;
    double starInclination;
    double starAzimuth;
    uint32_t reserved168[4];
};
static_assert(sizeof(SettingsStruct) == 184);
static_assert(offsetof(SettingsStruct, gravConstant) == 8);
static_assert(offsetof(SettingsStruct, pushMethod) == 40);
static_assert(offsetof(SettingsStruct, displayFlags) == 56);
static_assert(offsetof(SettingsStruct, bodies) == 72);
static_assert(offsetof(SettingsStruct, timedThrust) == 76);
static_assert(offsetof(SettingsStruct, craftThrust) == 80);
static_assert(offsetof(SettingsStruct, onCrash) == 120);
static_assert(offsetof(SettingsStruct, cameraMode) == 128);
static_assert(offsetof(SettingsStruct, starInclination) == 152);
static_assert(offsetof(SettingsStruct, reserved168) == 168);

// physicsOptions: the first post-Newtonian correction for the most massive body's
// gravity. A tag rather than a bit: older files may hold anything in this word.
constexpr uint32_t kRelativityOn = 0x31504E31;  // '1PN1'
inline bool RelativityOn(const SettingsStruct& s) { return s.physicsOptions == kRelativityOn; }

// pushMethod values
constexpr int32_t kPushSemiImplicitEuler = 0;
constexpr int32_t kPushEuler = 1;
constexpr int32_t kPushAdamsBashforth = 2;
constexpr int32_t kPushAdamsMoulton = 3;
constexpr int32_t kPushRungeKutta = 4;
constexpr int32_t kPushGaussRadau = 5;  // adaptive 15th-order Gauss–Radau
constexpr int32_t kPushWisdomHolman = 6;  // symplectic Wisdom–Holman map about the most massive body

// onCrash values
constexpr int32_t kCrashIgnore = 0;
constexpr int32_t kCrashStop = 1;
constexpr int32_t kCrashMerge = 2;

// ---------------------------------------------------------------- bodies

constexpr uint32_t kCraftFlag = 1;
constexpr uint32_t kDestroyedBodyFlags = 0xFFFFFFFFu;

// statusFlags bits of the run-time record
constexpr uint32_t kNotDrawnStatus = 1;
constexpr uint32_t kAbsorbedStatus = 2;
constexpr uint32_t kCameraRideStatus = 4;  // the renderer's cameraRideFlag
constexpr uint32_t kParticleStatus = 8;    // built from a massless body: a point without label or trail

struct BodyInfoStruct {
    double pos[3];
    double vel[3];
    double mass;
    double radius;
    double axisTilt;
    double axisAzimuth;
    double spinPhase;
    double spinRate;
    double ringRatio;
    uint32_t bodyFlags;
    int32_t spherePixID;
    Handle ringPix;
    int32_t parent;  // 1-based index of an earlier body, 0 = absolute
    uint32_t reserved120[4];
    RGBColor color;
    Str31 name;
    uint8_t padding174[2];
};
static_assert(sizeof(BodyInfoStruct) == 176);
static_assert(offsetof(BodyInfoStruct, ringRatio) == 96);
static_assert(offsetof(BodyInfoStruct, bodyFlags) == 104);
static_assert(offsetof(BodyInfoStruct, ringPix) == 112);
static_assert(offsetof(BodyInfoStruct, parent) == 116);
static_assert(offsetof(BodyInfoStruct, color) == 136);
static_assert(offsetof(BodyInfoStruct, name) == 142);

struct BodyListStruct {
    int32_t count;
    uint32_t reserved4;
    BodyInfoStruct body[1];  // count entries, then at least one spare
};
static_assert(offsetof(BodyListStruct, body) == 8);
constexpr size_t kBodyListHeaderSize = 8;

struct BodyRTStruct {
    double pos[3];
    double lastPos[3];
    double vel[3];
    double lastVel[3];
    double acc[3];
    double mass;
    double radius;
    double ringRadius;
    double spinRate;
    double potential;
    double nearestDistSq;
    int32_t nearestIndex;
    uint32_t bodyFlags;
    uint32_t statusFlags;
    uint32_t* spherePix;  // reference texel of the body's surface map, or null
    uint32_t* ringPix;    // the body's ring profile (1024 texels), or null
    Point screenPos;
    IJK axes;
    RGBColor color;
    Str31 name;
    double velHistory[4][3];
    double accHistory[4][3];
};

struct BodyRTListStruct {
    int32_t count;
    BodyRTStruct body[1];  // count + 1 records
};

// A massless body is a test particle: it feels the bodies with mass and pulls on nothing,
// and collides with bodies with mass only. Built from the initial conditions, it is marked
// kParticleStatus, and the renderer draws it as a point without label or trail.
inline bool IsTestParticle(const BodyRTStruct& b) { return b.mass == 0.0; }
inline bool IsDrawnAsPoint(const BodyRTStruct& b) { return (b.statusFlags & kParticleStatus) != 0; }

// ---------------------------------------------------------------- timed thrust

struct TimedThrustInfoStruct {
    double deltaV;
    int32_t pushIndex;
    uint32_t reserved12;
};
static_assert(sizeof(TimedThrustInfoStruct) == 16);

struct TimedThrustListStruct {
    int32_t count;
    uint32_t reserved4;
    TimedThrustInfoStruct entry[1];
};
static_assert(offsetof(TimedThrustListStruct, entry) == 8);
constexpr size_t kTTListHeaderSize = 8;

// ---------------------------------------------------------------- trails

struct RTList {
    int32_t entryCount;
    int32_t entrySize;
    int32_t headIndex;
    int32_t tailIndex;
    Handle handle;
    uint8_t* ptr;
};

struct TrailPoint {
    double pos[3];
    double radius;
    uint32_t kindFlags;
    uint32_t statusFlags;
    RGBColor color;
};

// ---------------------------------------------------------------- run-time record

struct RunTimeStruct {
    Handle bodyRT;  // BodyRTListStruct
    int64_t pushCount;  // 64 bits: a run never wraps it (2^31 pushes are 26 days at 60 fps)
    int32_t framesDrawn;
    int32_t substepsLastPush;  // substeps the adaptive method took in the latest push
    double pitchRate;
    double yawRate;
    double simTime;
    double eyeDistance;
    double eyeDistanceVel;
    double panI;
    double panIVel;
    double panJ;
    double panJVel;
    double arrowCos;
    double arrowSin;
    double eyePos[3];
    double lookAt[3];
    double cameraTarget[3];
    IJK cameraIJK;
    IJK starIJK;
    int32_t focalLength;
    Handle spherePixList;
    int32_t selectedBody;
    double velArrowMeasure;
    double accArrowMeasure;
    int32_t velArrowExponent;
    int32_t accArrowExponent;
    uint32_t controlFlags[4];
    Handle scratchHandle;
    uint8_t* scratchPtr;
    int32_t scratchSize;
    RTList trailList;
    int32_t keyRepeatFactor;
    RGBColor cyanEyeColor;
    RGBColor redEyeColor;
    uint16_t sphereSqrtTable[256];
    uint16_t sphereInvSqrtTable[256];
    Handle starListH;
    // The craft's engine in this run: speed change delivered so far (m/s, engine and timed
    // thrust), and the push counts after the latest push in which each fired (-1: not yet).
    double craftDeltaV;
    int64_t engineFiredPush;
    int64_t timedThrustPush;
    uint32_t engineKeys;  // kEngine* bits of that push
};

constexpr uint32_t kEngineForward = 1, kEngineBackward = 2, kEngineInward = 4, kEngineOutward = 8;

extern RunTimeStruct rt;
extern SettingsStruct set;

// Convenience views of the lists held by the globals (null when absent).
inline BodyListStruct* BodyList() { return HandleAs<BodyListStruct>(set.bodies); }
inline BodyRTListStruct* BodyRTList() { return HandleAs<BodyRTListStruct>(rt.bodyRT); }
inline TimedThrustListStruct* TTList(Handle h) { return HandleAs<TimedThrustListStruct>(h); }
