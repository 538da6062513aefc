// The object list window.
#pragma once
#include <cstdint>

void AllocObjectWindowInfo();
void DisposeObjectWindowInfo();
void UpdateObjectWindowVars();
uint16_t IsBodySelectionOkay();
