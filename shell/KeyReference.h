// Help › Keyboard and Mouse: every key, drag and wheel action, with the menu
// shortcuts read from the menu bar itself so the list never disagrees with it.
#pragma once
#include <vector>

#include "platform/Platform.h"

std::vector<KeyReferenceRow> KeyAndMouseReference();
void ShowKeyReferenceMenuItem();
