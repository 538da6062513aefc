// The menu bar's contents (built here, modelled in MenuModel.h), the marks and texts
// kept current while the user looks at it, and the dispatch of a choice.
#pragma once
#include <cstdint>
#include <string>

#include "core/DisplayFlags.h"
#include "core/MenuModel.h"


void SetupMenus();
void DisposeMenus();

void MarkMenus(uint16_t entering);
void HandleMenuEv(int32_t choice);
// The enabled item whose shortcut is this character with these modifiers (command
// and shift bits of the event record), as a menu choice; 0 when none.
int32_t MenuKey(uint8_t ch, uint16_t modifiers);

void SetCameraModeMenuItem(int16_t item);
int16_t GetCameraModeMenuItem();
void SetCameraSelectionMenuItem(int16_t item);
// View › Fit All: eases the eye back (or in) until every body is in view.
void FitAllMenuItem();
int16_t GetCameraSelectionMenuItem();
void SetOnCrashMenuItem(int16_t item);
int16_t GetOnCrashMenuItem();
void SetPushMethodMenuItem(int16_t item);
int16_t GetPushMethodMenuItem();
void ToggleLabelMenuItem(int16_t item);
void MarkLabelMenu(MenuModel* menu, uint16_t entering);
void FillCameraSelectionMenu(MenuModel* menu);

