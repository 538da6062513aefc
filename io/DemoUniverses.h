// The demo universes shipped with the application, offered by the File menu.
#pragma once
#include <string>
#include <vector>

struct DemoUniverse {
    std::string title;  // "Solar System" for solar-system.universe
    std::string path;
};

// The universe files in the "universes" folder beside the application, in name order.
std::vector<DemoUniverse> ListDemoUniverses();
// The menu title of a demo file: its name without the extension, dashes as spaces, words capitalised.
std::string DemoTitleFromFileName(const std::string& fileName);
