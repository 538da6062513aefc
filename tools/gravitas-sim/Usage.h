// The text of --help and --version; docs/gravitas-sim.md carries the same usage text.
#pragma once
#include <string>

std::string UsageText();
std::string VersionText();
