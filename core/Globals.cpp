#include "core/Records.h"

RunTimeStruct rt{};
SettingsStruct set{};
