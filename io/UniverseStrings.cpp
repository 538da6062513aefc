#include "io/UniverseStrings.h"

std::string UniverseString(int item) {
    switch (item) {
        case 1: return "Save the universe as:";
        case 2: return "Untitled.universe";
        case 4: return " pic";
        case 5: return "Ring of ";
        case 6: return "Timed Thrust";
        case 10: return "cannot be opened";
        case 11: return "its settings or bodies were found only under other resource IDs";
        default: return {};
    }
}
