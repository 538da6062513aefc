// The body and craft editor: the dialog, its layouts and its number fields
// (the commands that open it are in BodyEditorCommands.h).
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "platform/Platform.h"
#include "windows/BodyEditorItems.h"

int32_t EditBodyDialog(BodyInfoStruct* record, int32_t index);

// The layouts of the two dialogs (labels are static texts numbered from 100).
DialogLayout BodyDialogLayout();
DialogLayout CraftDialogLayout();

// Number fields of a dialog, shown and read as the unit dialogs do.
void SetMyRealItem(ModalDialog& dialog, int16_t item, MyReal value);  // not finite: item unchanged
MyReal GetMyRealItem(ModalDialog& dialog, int16_t item);              // NaN without a number
void SetMantExpItems(ModalDialog& dialog, int16_t first, MyReal value);
MyReal GetMantExpItems(ModalDialog& dialog, int16_t first);
void SetSphericalItems(ModalDialog& dialog, int16_t first, const MyReal v[3]);
int32_t GetSphericalItems(ModalDialog& dialog, int16_t first, MyReal out[3]);  // 1 when all are numbers
