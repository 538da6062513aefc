// Releases the adaptive Gauss–Radau push's memory and history; the next push with
// that method starts afresh. (The push itself, GaussRadauPush, is declared with the
// other integrators.)
#pragma once

void DisposeGaussRadauPush();
