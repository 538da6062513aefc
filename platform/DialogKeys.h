// The keys that choose a modal dialog's button (Return for OK, Escape for Cancel …) are the
// logic's to decide; the platform's dialogs ask the filter registered here.
#pragma once
#include <cstdint>

#include "core/EventLoop.h"

// True when the key event chose an item, which it stores in `item`.
using DialogKeyFilter = bool (*)(const EventRecord& event, int16_t& item);

// Null: no key chooses a button.
void SetDialogKeyFilter(DialogKeyFilter filter);
DialogKeyFilter RegisteredDialogKeyFilter();
