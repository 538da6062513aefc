#include "core/Memory.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Block {
    uint8_t* data = nullptr;
    size_t size = 0;
    int lockCount = 0;
    bool used = false;
};

std::vector<Block> blocks(1);  // slot 0 is never used: handle 0 means none
std::vector<Handle> freeSlots;
size_t liveBytes = 0;
int32_t liveCount = 0;
size_t memoryLimit = 0;

bool WithinLimit(size_t extra) { return memoryLimit == 0 || liveBytes + extra <= memoryLimit; }

Block* Find(Handle h) {
    if (h == 0 || h >= blocks.size() || !blocks[h].used) return nullptr;
    return &blocks[h];
}

}  // namespace

Handle NewHandle(size_t size) {
    if (!WithinLimit(size)) return 0;
    // calloc(0) may return null; keep one byte so every live block has an address.
    uint8_t* data = static_cast<uint8_t*>(std::calloc(size ? size : 1, 1));
    if (!data) return 0;
    Handle h;
    if (!freeSlots.empty()) {
        h = freeSlots.back();
        freeSlots.pop_back();
    } else {
        h = static_cast<Handle>(blocks.size());
        blocks.emplace_back();
    }
    blocks[h] = Block{data, size, 0, true};
    liveBytes += size;
    ++liveCount;
    return h;
}

Handle NewHandleClear(size_t size) { return NewHandle(size); }

void DisposeHandle(Handle h) {
    Block* b = Find(h);
    if (!b) return;
    std::free(b->data);
    liveBytes -= b->size;
    --liveCount;
    *b = Block{};
    freeSlots.push_back(h);
}

bool IsValidHandle(Handle h) { return Find(h) != nullptr; }

int32_t GetHandleSize(Handle h) {
    Block* b = Find(h);
    return b ? static_cast<int32_t>(b->size) : 0;
}

bool SetHandleSize(Handle h, size_t newSize) {
    Block* b = Find(h);
    if (!b) return false;
    if (newSize == b->size) return true;
    if (b->lockCount > 0) return false;
    if (newSize > b->size && !WithinLimit(newSize - b->size)) return false;
    uint8_t* data = static_cast<uint8_t*>(std::realloc(b->data, newSize ? newSize : 1));
    if (!data) return false;
    if (newSize > b->size) std::memset(data + b->size, 0, newSize - b->size);
    liveBytes = liveBytes - b->size + newSize;
    b->data = data;
    b->size = newSize;
    return true;
}

void* HandlePtr(Handle h) {
    Block* b = Find(h);
    return b ? b->data : nullptr;
}

void HLock(Handle h) {
    if (Block* b = Find(h)) b->lockCount = 1;
}

void HUnlock(Handle h) {
    if (Block* b = Find(h)) b->lockCount = 0;
}

bool IsHandleLocked(Handle h) {
    Block* b = Find(h);
    return b && b->lockCount > 0;
}

void MoveHHi(Handle) {}

Handle DuplicateHandle(Handle h) {
    Block* b = Find(h);
    if (!b) return 0;
    size_t size = b->size;
    Handle copy = NewHandle(size);
    if (!copy) return 0;
    std::memcpy(HandlePtr(copy), HandlePtr(h), size);  // re-find: NewHandle may move the table
    return copy;
}

Handle NewHandleWithBytes(const uint8_t* bytes, size_t size) {
    Handle h = NewHandle(size);
    if (h && size) std::memcpy(HandlePtr(h), bytes, size);
    return h;
}

void SetMemoryLimitForTesting(size_t bytes) { memoryLimit = bytes; }
size_t LiveHandleBytes() { return liveBytes; }
int32_t LiveHandleCount() { return liveCount; }
