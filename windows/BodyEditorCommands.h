// The Objects menu commands that add, edit and delete bodies and the craft, and the
// object window's clicks that ask for them.
#pragma once
#include <cstdint>

#include "core/Records.h"

void NewBodyMenuItem();
void NewCraftMenuItem();
void EditBodyMenuItem();
void EditCraftMenuItem();
void DeleteBodyMenuItem();
void DeleteCraftMenuItem();
// Opens the editor on the stored body `index`; OK keeps the edit, Delete removes the body.
void EditBodyAt(int32_t index);
// A press in the object window at `local` (window coordinates); broughtToFront is 1 when
// the press only made the window frontmost. A double-click on a row edits that body,
// a click below the rows adds one.
void DoObjectWindowHit(Point local, uint16_t modifiers, uint32_t when, int16_t broughtToFront);
