#include "core/Epoch.h"

EpochStruct epoch;
