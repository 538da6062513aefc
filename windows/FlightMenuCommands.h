// The View menu's predicted-path commands and its approach-target submenu.
#pragma once
#include <cstdint>

#include "core/MenuModel.h"

constexpr int16_t kApproachTargetMenu = 202;
// View menu items (after the menu's older items).
constexpr int16_t kPredictedPathItem = 18, kPredictionHorizonItem = 19, kApproachTargetItem = 20;
// Simulation menu item.
constexpr int16_t kPlanBurnItem = 12;

void TogglePredictedPathMenuItem();
void EditPredictionHorizonMenuItem();
// Item 1 automatic, 2 none, 3 + i body i.
void FillApproachTargetMenu(MenuModel& menu);
void SetApproachTargetMenuItem(int16_t item);
bool IsPredictedPathOn();
