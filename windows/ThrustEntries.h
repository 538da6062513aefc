// Stepping through the craft's private thrust schedule in the craft editor.
// k is the entry shown; k == count stands for a new entry not yet in the list.
#pragma once
#include <cstdint>

#include "core/Records.h"

struct ThrustEntryFields {
    MyReal deltaV;     // m/s; NaN when the field holds no number
    MyReal pushIndex;  // as typed; NaN when the field holds no number
};

bool ThrustFieldsHoldNumbers(const ThrustEntryFields& fields);
// The push index field as a whole push number (truncated, kept within 32 bits).
int32_t ThrustFieldsPushIndex(const ThrustEntryFields& fields);
// A speed change and a push number worth keeping as an entry.
bool ThrustFieldsMakeEntry(const ThrustEntryFields& fields);

bool CanGoToPreviousThrustEntry(int32_t k);
bool CanGoToNextThrustEntry(Handle list, int32_t k, const ThrustEntryFields& fields);
bool CanDeleteThrustEntry(Handle list, int32_t k);

// Moves to the previous (step -1) or next (+1) entry, keeping what the fields hold.
// False when the list could not grow: k and the fields stay as they are.
bool MoveThrustEntry(Handle list, int32_t& k, const ThrustEntryFields& fields, int32_t step);
// Removes entry k (when it exists) and picks the entry to show next.
void DeleteThrustEntry(Handle list, int32_t& k);
// What the fields show for entry k: zeros past the last entry.
ThrustEntryFields ThrustEntryShown(Handle list, int32_t k);
// On OK: the entry being edited joins the list when it is worth keeping.
void StoreThrustEntry(Handle list, int32_t k, const ThrustEntryFields& fields);
