// The short help of the body and craft editors: each field and button says
// what it holds and in which unit, following the unit buttons as they turn.
#pragma once
#include <string>

#include "platform/Platform.h"

// Sets the help of every field and button from what the unit buttons show now.
void ShowBodyEditorTips(ModalDialog& dialog, bool craft);
// The unit a unit button's label stands for, written out ("km" → "kilometres").
std::string UnitLongName(const std::string& label);
