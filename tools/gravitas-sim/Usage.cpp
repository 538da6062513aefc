#include "tools/gravitas-sim/Usage.h"

std::string UsageText() {
    return R"(usage: gravitas-sim SCENARIO.json [options]
       gravitas-sim --load FILE.universe [options]
       gravitas-sim --import-horizons FILE.txt [options]
Runs a scenario headless and prints the final state as JSON.

  --frames N             frames to run (default 1; each frame is the scenario's pushes per frame)
  --load FILE            start from a universe file instead of a scenario
  --import-horizons FILE start from JPL Horizons vector tables ($$SOE ... $$EOE)
  --to-date DATE         integrate the scenario to a UTC date (YYYY-MM-DDTHH:MM, 1800-2200) first
  --save FILE            write the final state as a universe file
  --export-json FILE     write the scenario (initial conditions and settings) as JSON
  --export-csv FILE      write time, name, x, y, z, vx, vy, vz per body per frame (SI units)
  --export-rebound FILE  write a Python script that runs the same simulation in REBOUND
  --render FILE          draw the final state as a PNG picture
  --width N              picture width in pixels
  --height N             picture height in pixels
  --camera-mode N        camera mode (0-10) for the picture
  --camera-body N        body the camera follows (1-based)
  --labels N             label flags for the picture
  --trails N             trail snapshots to keep and draw
  --stereo               draw a red-cyan stereo picture
  --no-stars             leave out the star field
  --predict PUSHES       print the craft's predicted path for PUSHES pushes from the final state
                         (at most 2000 positions) with its marks and orbital elements, as JSON,
                         instead of the state
  --movie FILE           record the frames as a movie (.mp4 or .webm)
  --png-sequence DIR     write every frame as a PNG into DIR
  --fps N                frames per second of the movie (1-240)
  --histogram FILE.csv   after the run, count the test particles' osculating semi-major axes about
                         the heaviest body in bins: FILE.csv, and a bar chart FILE.png with the
                         3:1, 5:2, 7:3 and 2:1 resonances with Jupiter marked
  --histogram-bins N     bins of the histogram (1-10000, default 150)
  --histogram-range L:H  the bins' range in au (default: the bound particles' range)
  --help                 show this text
  --version              show the version
)";
}

std::string VersionText() { return std::string("gravitas-sim ") + GRAVITAS_VERSION + "\n"; }
