// Heap allocations made through operator new since the program started (counted only in a test binary that links AllocationCounter.cpp).
#pragma once
long HeapAllocationCount();
