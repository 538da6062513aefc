// The output of a program that plays no sound (gravitas-sim): none, and no audio libraries.
#include "platform/qt/QtSoundOutput.h"

std::unique_ptr<QtSoundOutput> NewQtSoundOutput() { return nullptr; }
