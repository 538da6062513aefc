// The object list window.
#pragma once

void AllocObjectWindowInfo();
void DisposeObjectWindowInfo();
void UpdateObjectWindowVars();
