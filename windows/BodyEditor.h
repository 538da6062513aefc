// The body and craft editor and the object commands built on it.
#pragma once
#include <cstdint>

#include "core/Records.h"

int32_t EditBodyDialog(BodyInfoStruct* record, int32_t index);
void NewBodyMenuItem();
void NewCraftMenuItem();
void EditBodyMenuItem();
void EditCraftMenuItem();
void DeleteBodyMenuItem();
void DeleteCraftMenuItem();
