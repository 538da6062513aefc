#include "io/UniverseStrings.h"

std::string UniverseString(int item) {
    switch (item) {
        case 1: return "Save the universe as:";
        case 2: return "Untitled.universe";
        case 4: return " pic";
        case 5: return "Ring of ";
        case 6: return "Timed Thrust";
        case 10: return "This universe file cannot be opened: its settings or bodies are missing or damaged.";
        case 11: return "This universe file was read with substitute settings or bodies.";
        default: return {};
    }
}
