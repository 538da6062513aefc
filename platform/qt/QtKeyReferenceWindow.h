// The Help › Keyboard and Mouse window: the reference rows under their
// section headings. It does not block: the simulation runs on beside it.
#pragma once
#include <vector>

#include "platform/Platform.h"

class QWidget;

// Shows the window (made once, raised when asked again) and returns it.
QWidget* ShowKeyReferenceWindow(const std::vector<KeyReferenceRow>& rows);
