// Placeholder until persistence lands.
#include "io/FileTypes.h"

bool SearchForFileWithType(uint32_t, std::string&) { return false; }
