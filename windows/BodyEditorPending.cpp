// Placeholder until the editor lands.
#include "windows/BodyEditor.h"

int32_t EditBodyDialog(BodyInfoStruct*, int32_t) { return 0; }
void NewBodyMenuItem() {}
void NewCraftMenuItem() {}
void EditBodyMenuItem() {}
void EditCraftMenuItem() {}
void DeleteBodyMenuItem() {}
void DeleteCraftMenuItem() {}
