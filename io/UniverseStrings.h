// Texts of string list 1037 (universe files), by item number.
#pragma once
#include <string>

std::string UniverseString(int item);  // empty for items without a text
