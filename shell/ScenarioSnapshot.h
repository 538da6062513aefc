// A copy of everything the user edits in a scenario: the settings, the
// bodies' initial conditions with their surface pictures and ring profiles,
// and the craft's thrust schedule. Undo keeps these; pictures and rings are
// shared byte blocks, so snapshots of an unchanged scenario cost little more
// than its records.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "core/Epoch.h"
#include "core/Records.h"

using SharedBytes = std::shared_ptr<const std::vector<uint8_t>>;

// Hands out one shared block per distinct content, so that a picture kept by
// a hundred snapshots is stored once.
struct BytesPool {
    std::multimap<uint64_t, std::weak_ptr<const std::vector<uint8_t>>> byHash;
};
SharedBytes InternBytes(BytesPool& pool, const uint8_t* bytes, size_t size);

struct BodySnapshot {
    BodyInfoStruct info{};  // spherePixID and ringPix are zero here
    SharedBytes picture;    // the surface picture's bytes; null without one
    SharedBytes ring;       // the ring profile's texels; null without one
};

struct ScenarioSnapshot {
    SettingsStruct settings{};  // bodies and timedThrust are zero here
    bool hasBodyList = false;   // an empty list and no list differ to the menus
    std::vector<BodySnapshot> bodies;
    bool hasThrust = false;
    std::vector<TimedThrustInfoStruct> thrust;
    int32_t selectedBody = -1;
    EpochStruct epoch;  // the moment the initial conditions belong to
};

// What differs between a snapshot and the present scenario.
struct ScenarioDifference {
    bool settings = false;
    bool viewOnly = true;  // every setting that differs is one of how the scenario is looked at
    bool bodies = false;   // records, pictures or rings
    bool thrust = false;
    bool epoch = false;
    bool Any() const { return settings || bodies || thrust || epoch; }
    // What a file keeps and a user would not want to lose: all but the view.
    bool Content() const { return (settings && !viewOnly) || bodies || thrust || epoch; }
};

ScenarioSnapshot CaptureScenario(BytesPool& pool);
ScenarioDifference CompareWithScenario(const ScenarioSnapshot& snapshot);
// Makes the present scenario equal to the snapshot. A change of the bodies,
// the schedule or the force law discards the run-time bodies and trails, so
// the simulation restarts from the restored initial conditions, as after any
// edit of the body list. Surface maps whose pictures are unchanged are kept.
// False when memory ran out on the way (the bodies that fitted are restored).
bool RestoreScenario(const ScenarioSnapshot& snapshot);
// Bytes of the records the snapshot holds, without its shared blocks.
size_t SnapshotRecordBytes(const ScenarioSnapshot& snapshot);
