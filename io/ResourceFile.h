// A resource file: typed, numbered, named byte blocks in the classic
// resource-fork layout (big-endian), stored as a plain file. Reading also
// unwraps the same fork from AppleDouble and MacBinary II/III files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct Resource {
    uint32_t type = 0;
    int16_t id = 0;
    std::string name;        // at most 255 bytes; empty = no name
    uint8_t attributes = 0;
    std::vector<uint8_t> data;
};

class ResourceFile {
public:
    // Parses a whole file image; on failure the file is left empty and error says why.
    bool Parse(const uint8_t* bytes, size_t size, std::string& error);
    // Reads a regular file of at most kMaxUniverseFileBytes.
    bool ReadFromFile(const std::string& path, std::string& error);

    // Lays the resources out; false (and error says which field) when an
    // offset or count would not fit its field in the file.
    bool Serialize(std::vector<uint8_t>& out, std::string& error) const;
    std::vector<uint8_t> Serialize() const;  // empty when it does not fit
    // Checks the whole layout first, then replaces the target (see ReplaceFileContents).
    bool WriteToFile(const std::string& path, std::string& error) const;

    const Resource* Get(uint32_t type, int16_t id) const;
    const Resource* GetFirstOfType(uint32_t type) const;  // the first one in file order
    int32_t Size(uint32_t type, int16_t id) const;        // -1 when missing
    // Adds or replaces the resource of that type and ID.
    void Add(uint32_t type, int16_t id, const std::string& name, const uint8_t* data, size_t size);
    bool Remove(uint32_t type, int16_t id);
    const std::vector<Resource>& All() const { return resources_; }
    void Clear() {
        resources_.clear();
        index_.clear();
    }

private:
    bool ParseFork(const uint8_t* fork, size_t size, std::string& error);
    void Reindex();
    static uint64_t KeyOf(uint32_t type, int16_t id) { return (uint64_t(type) << 16) | uint16_t(id); }
    std::vector<Resource> resources_;
    std::unordered_map<uint64_t, size_t> index_;  // (type, ID) -> position in resources_
};

// Locates the resource fork inside an AppleDouble or MacBinary image; returns
// false when the image is neither (the caller then treats it as a bare fork).
bool UnwrapResourceFork(const uint8_t* bytes, size_t size, size_t& forkOffset, size_t& forkSize,
                        std::string& error);
uint16_t MacBinaryCrc(const uint8_t* bytes, size_t size);

constexpr uint32_t FourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
           uint32_t(uint8_t(s[3]));
}
