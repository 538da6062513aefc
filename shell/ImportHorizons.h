// File › Import Horizons Vectors…: a universe from JPL Horizons vector tables.
#pragma once

// Asks about unsaved changes, then for the file; true when a universe was made.
bool ImportHorizonsMenuItem();
