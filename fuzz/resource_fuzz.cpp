// libFuzzer target: any byte string must parse or fail cleanly, and whatever
// parses must serialize to a file that parses back to the same resources.
#include <cstdint>
#include <cstdlib>

#include "io/ResourceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourceFile rf;
    std::string error;
    if (!rf.Parse(data, size, error)) return 0;
    const auto bytes = rf.Serialize();
    ResourceFile back;
    if (!back.Parse(bytes.data(), bytes.size(), error)) std::abort();
    if (back.All().size() != rf.All().size()) std::abort();
    for (const auto& r : rf.All()) {
        const Resource* b = back.Get(r.type, r.id);
        if (!b || b->data != r.data || b->name != r.name) std::abort();
    }
    return 0;
}
