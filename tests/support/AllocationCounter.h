// Heap allocations made through operator new since the program started. Only a test
// binary that links AllocationCounter.cpp (which replaces operator new) counts.
#pragma once

long HeapAllocationCount();
