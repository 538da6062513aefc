// Relocatable memory blocks addressed by 32-bit handles.
//
// Records that are stored byte-for-byte in universe files (the settings and the
// body list) hold handles in 32-bit fields, so a handle here is a small integer
// naming a block in a table rather than a native pointer. A block keeps its
// address while it is locked; resizing a locked block fails, as it would if
// the block could not grow in place.
#pragma once
#include <cstddef>
#include <cstdint>

using Handle = uint32_t;  // 0 = none
constexpr Handle kNoHandle = 0;

Handle NewHandle(size_t size);       // contents zeroed; 0 when memory is lacking
Handle NewHandleClear(size_t size);  // same as NewHandle (kept for readability at call sites)
void DisposeHandle(Handle h);        // none is ignored
bool IsValidHandle(Handle h);
int32_t GetHandleSize(Handle h);     // 0 for none
// Changes the size, keeping the contents up to the smaller size; new bytes are zero.
// Fails (returns false, block unchanged) when memory is lacking or the block is locked.
bool SetHandleSize(Handle h, size_t newSize);
void* HandlePtr(Handle h);           // current address, nullptr for none
template <class T> T* HandleAs(Handle h) { return static_cast<T*>(HandlePtr(h)); }
void HLock(Handle h);
void HUnlock(Handle h);
bool IsHandleLocked(Handle h);
void MoveHHi(Handle h);              // no effect here; kept so call sites read as the design says
Handle DuplicateHandle(Handle h);    // a copy of the block, unlocked; 0 on failure
Handle NewHandleWithBytes(const uint8_t* bytes, size_t size);  // a block holding a copy; 0 on failure

// Test support: refuse allocations that would take the live total above `bytes`
// (0 = no limit). Lets tests exercise the out-of-memory paths.
void SetMemoryLimitForTesting(size_t bytes);
size_t LiveHandleBytes();
int32_t LiveHandleCount();
