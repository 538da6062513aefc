#include "io/ResourceFile.h"

#include <algorithm>
#include <unordered_map>

#include "core/Limits.h"
#include "io/ByteOrder.h"
#include "io/FileAccess.h"

namespace {

constexpr size_t kForkHeaderSize = 16;
constexpr size_t kDataStart = 256;         // data follows the 256-byte header
constexpr size_t kMapHeaderSize = 28;      // header copy, next map, file ref, attributes, two offsets
constexpr size_t kTypeEntrySize = 8;
constexpr size_t kRefEntrySize = 12;
constexpr uint32_t kAppleDoubleMagic = 0x00051607;
constexpr uint32_t kResourceForkEntry = 2;
constexpr size_t kMacBinaryHeader = 128;

bool Fail(std::string& error, const char* text) {
    error = text;
    return false;
}

// [a, a+n) lies within [0, limit) without overflow.
bool Fits(size_t a, size_t n, size_t limit) { return a <= limit && n <= limit - a; }

size_t PadTo128(size_t n) { return (n + 127) & ~size_t(127); }

struct Span {
    size_t offset, length;
};

// True when two of the byte ranges share a byte.
bool Overlapping(std::vector<Span>& spans) {
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.offset < b.offset; });
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i - 1].offset + spans[i - 1].length > spans[i].offset) return true;
    return false;
}

}  // namespace

uint16_t MacBinaryCrc(const uint8_t* bytes, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint16_t(bytes[i]) << 8;
        for (int b = 0; b < 8; ++b) crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

bool UnwrapResourceFork(const uint8_t* bytes, size_t size, size_t& forkOffset, size_t& forkSize,
                        std::string& error) {
    error.clear();
    if (size >= 26 && GetBE32(bytes) == kAppleDoubleMagic) {
        const size_t entries = GetBE16(bytes + 24);
        if (!Fits(26, entries * 12, size)) return Fail(error, "AppleDouble entry table runs past the end of the file");
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* e = bytes + 26 + 12 * i;
            if (GetBE32(e) != kResourceForkEntry) continue;
            forkOffset = GetBE32(e + 4);
            forkSize = GetBE32(e + 8);
            if (!Fits(forkOffset, forkSize, size)) return Fail(error, "AppleDouble resource fork lies outside the file");
            return true;
        }
        return Fail(error, "AppleDouble file has no resource fork");
    }
    if (size >= kMacBinaryHeader && bytes[0] == 0 && bytes[74] == 0 && bytes[1] >= 1 && bytes[1] <= 63) {
        const bool crcOk = MacBinaryCrc(bytes, 124) == GetBE16(bytes + 124);
        const bool mbin = GetBE32(bytes + 102) == FourCC("mBIN");
        if (crcOk || mbin) {
            const size_t secondary = GetBE16(bytes + 120);
            const size_t dataLen = GetBE32(bytes + 83);
            const size_t rsrcLen = GetBE32(bytes + 87);
            const size_t dataStart = kMacBinaryHeader + PadTo128(secondary);
            if (!Fits(dataStart, dataLen, size)) return Fail(error, "MacBinary data fork runs past the end of the file");
            forkOffset = dataStart + PadTo128(dataLen);
            forkSize = rsrcLen;
            if (!Fits(forkOffset, forkSize, size))
                return Fail(error, "MacBinary resource fork runs past the end of the file");
            return true;
        }
    }
    return false;
}

bool ResourceFile::Parse(const uint8_t* bytes, size_t size, std::string& error) {
    resources_.clear();
    index_.clear();
    size_t off = 0, len = size;
    if (!UnwrapResourceFork(bytes, size, off, len, error)) {
        if (!error.empty()) return false;
        off = 0;
        len = size;
    }
    if (!ParseFork(bytes + off, len, error)) {
        resources_.clear();
        index_.clear();
        return false;
    }
    return true;
}

bool ResourceFile::ParseFork(const uint8_t* f, size_t size, std::string& error) {
    if (size < kForkHeaderSize) return Fail(error, "file too short for a resource header");
    const size_t dataOff = GetBE32(f), mapOff = GetBE32(f + 4), dataLen = GetBE32(f + 8), mapLen = GetBE32(f + 12);
    if (!Fits(dataOff, dataLen, size)) return Fail(error, "resource data lies outside the file");
    if (!Fits(mapOff, mapLen, size)) return Fail(error, "resource map lies outside the file");
    if (dataOff < kForkHeaderSize && dataLen > 0) return Fail(error, "resource data overlaps the header");
    if (mapOff < kForkHeaderSize) return Fail(error, "resource map overlaps the header");
    if (dataLen > 0 && mapOff < dataOff + dataLen && dataOff < mapOff + mapLen)
        return Fail(error, "resource data and map overlap");
    if (mapLen < kMapHeaderSize + 2) return Fail(error, "resource map too short");
    const uint8_t* map = f + mapOff;
    const uint8_t* data = f + dataOff;
    const size_t typeListOff = GetBE16(map + 24), nameListOff = GetBE16(map + 26);
    if (typeListOff < kMapHeaderSize || !Fits(typeListOff, 2, mapLen))
        return Fail(error, "type list offset out of range");
    if (nameListOff > mapLen) return Fail(error, "name list offset out of range");
    const uint8_t* typeList = map + typeListOff;
    const size_t typeCount = (GetBE16(typeList) + 1) & 0xFFFF;
    const size_t typeListBytes = 2 + kTypeEntrySize * typeCount;
    if (!Fits(typeListOff, typeListBytes, mapLen)) return Fail(error, "type count does not fit the map");
    const size_t typeListEnd = typeListOff + typeListBytes;
    if (nameListOff < typeListEnd && nameListOff > typeListOff && typeCount > 0)
        return Fail(error, "name list overlaps the type list");

    // Every reference entry and every data item belongs to one resource only: a
    // map whose types share reference lists, or whose resources share data,
    // would multiply a small file into any number of resources.
    std::vector<Span> refLists, items;
    refLists.reserve(typeCount);
    for (size_t t = 0; t < typeCount; ++t) {
        const uint8_t* te = typeList + 2 + kTypeEntrySize * t;
        const size_t count = size_t(GetBE16(te + 4)) + 1;
        const size_t refOff = GetBE16(te + 6);  // from the start of the type list
        if (refOff < typeListBytes) return Fail(error, "reference list overlaps the type list");
        if (!Fits(typeListOff + refOff, kRefEntrySize * count, mapLen))
            return Fail(error, "reference count does not fit the map");
        const size_t refEnd = typeListOff + refOff + kRefEntrySize * count;
        if (nameListOff > typeListOff + refOff && nameListOff < refEnd)
            return Fail(error, "name list overlaps a reference list");
        refLists.push_back(Span{refOff, kRefEntrySize * count});
    }
    if (Overlapping(refLists)) return Fail(error, "two types share reference entries");

    struct Ref {
        uint32_t type;
        int16_t id;
        uint16_t nameOff;
        uint8_t attributes;
        size_t itemOff, itemLen;
    };
    std::vector<Ref> refs;
    for (size_t t = 0; t < typeCount; ++t) {
        const uint8_t* te = typeList + 2 + kTypeEntrySize * t;
        const uint32_t type = GetBE32(te);
        const size_t count = size_t(GetBE16(te + 4)) + 1;
        const size_t refOff = GetBE16(te + 6);
        for (size_t r = 0; r < count; ++r) {
            const uint8_t* re = typeList + refOff + kRefEntrySize * r;
            Ref ref{type, int16_t(GetBE16(re)), GetBE16(re + 2), re[4], GetBE24(re + 5), 0};
            if (ref.nameOff != 0xFFFF) {
                const size_t at = nameListOff + ref.nameOff;
                if (!Fits(at, 1, mapLen) || !Fits(at + 1, map[at], mapLen))
                    return Fail(error, "resource name lies outside the map");
            }
            if (!Fits(ref.itemOff, 4, dataLen)) return Fail(error, "resource data offset out of range");
            ref.itemLen = GetBE32(data + ref.itemOff);
            if (!Fits(ref.itemOff + 4, ref.itemLen, dataLen)) return Fail(error, "resource length runs past the data");
            items.push_back(Span{ref.itemOff, 4 + ref.itemLen});
            refs.push_back(ref);
        }
    }
    if (Overlapping(items)) return Fail(error, "two resources share data");

    std::vector<uint64_t> keys;
    keys.reserve(refs.size());
    for (const Ref& r : refs) keys.push_back(KeyOf(r.type, r.id));
    std::sort(keys.begin(), keys.end());
    if (std::adjacent_find(keys.begin(), keys.end()) != keys.end()) return Fail(error, "duplicate resource type and ID");

    resources_.reserve(refs.size());
    for (const Ref& r : refs) {
        Resource res;
        res.type = r.type;
        res.id = r.id;
        res.attributes = r.attributes;
        if (r.nameOff != 0xFFFF) {
            const size_t at = nameListOff + r.nameOff;
            res.name.assign(reinterpret_cast<const char*>(map + at + 1), map[at]);
        }
        res.data.assign(data + r.itemOff + 4, data + r.itemOff + 4 + r.itemLen);
        resources_.push_back(std::move(res));
    }
    Reindex();
    return true;
}

bool ResourceFile::ReadFromFile(const std::string& path, std::string& error) {
    resources_.clear();
    index_.clear();
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(path, kMaxUniverseFileBytes, bytes, error)) return false;
    return Parse(bytes.data(), bytes.size(), error);
}

std::vector<uint8_t> ResourceFile::Serialize() const {
    std::vector<uint8_t> out;
    std::string error;
    return Serialize(out, error) ? out : std::vector<uint8_t>();
}

bool ResourceFile::Serialize(std::vector<uint8_t>& out, std::string& error) const {
    out.clear();
    // Group by type in first-seen order so each type has one reference list.
    std::vector<uint32_t> types;
    std::unordered_map<uint32_t, size_t> typeCounts;
    for (const auto& r : resources_)
        if (typeCounts[r.type]++ == 0) types.push_back(r.type);
    if (types.size() > 0x10000) return Fail(error, "too many resource types for one file");
    for (const auto& [type, count] : typeCounts)
        if (count > 0x10000) return Fail(error, "too many resources of one type for one file");

    // Data starts must fit 24 bits but lengths need not: very large resources (the body list
    // of a belt of particles) are laid out after all the others, the rest keep their order.
    constexpr size_t kLateResourceBytes = size_t(8) << 20;
    std::vector<size_t> byType;  // the order of the reference lists
    for (uint32_t type : types)
        for (size_t k = 0; k < resources_.size(); ++k)
            if (resources_[k].type == type) byType.push_back(k);
    std::vector<uint32_t> dataOffset(resources_.size());
    size_t dataBytes = 0;
    for (bool late : {false, true})
        for (size_t k : byType) {
            if ((resources_[k].data.size() > kLateResourceBytes) != late) continue;
            if (dataBytes > 0xFFFFFF) return Fail(error, "resources too large for one file (data offset passes 24 bits)");
            if (resources_[k].data.size() > 0xFFFFFFFFu - 4 - dataBytes) return Fail(error, "resources too large for one file");
            dataOffset[k] = uint32_t(dataBytes);
            dataBytes += 4 + resources_[k].data.size();
        }
    std::vector<uint8_t> data, names, refs, typeList;
    const size_t typeListBytes = 2 + kTypeEntrySize * types.size();
    AppendBE16(typeList, uint16_t(types.size() - 1));  // 0xFFFF when there are none
    for (uint32_t type : types) {
        size_t count = 0;
        const size_t refOff = typeListBytes + refs.size();
        // Each offset field is checked before it is stored: a cut offset would
        // point into the wrong resource and the file would not read back.
        if (refOff > 0xFFFF) return Fail(error, "resource map too large (reference list offset passes 16 bits)");
        for (size_t k = 0; k < resources_.size(); ++k) {
            const Resource& r = resources_[k];
            if (r.type != type) continue;
            ++count;
            AppendBE16(refs, uint16_t(r.id));
            if (r.name.empty()) {
                AppendBE16(refs, 0xFFFF);
            } else {
                if (names.size() >= 0xFFFF) return Fail(error, "resource names too long (name offset passes 16 bits)");
                AppendBE16(refs, uint16_t(names.size()));
                const size_t n = std::min<size_t>(r.name.size(), 255);
                names.push_back(uint8_t(n));
                names.insert(names.end(), r.name.begin(), r.name.begin() + n);
            }
            AppendBE32(refs, (uint32_t(r.attributes) << 24) | dataOffset[k]);
            AppendBE32(refs, 0);
        }
        AppendBE32(typeList, type);
        AppendBE16(typeList, uint16_t(count - 1));
        AppendBE16(typeList, uint16_t(refOff));
    }
    data.reserve(dataBytes);
    for (bool late : {false, true})
        for (size_t k : byType) {
            const Resource& r = resources_[k];
            if ((r.data.size() > kLateResourceBytes) != late) continue;
            AppendBE32(data, uint32_t(r.data.size()));
            data.insert(data.end(), r.data.begin(), r.data.end());
        }
    const size_t mapOff = kDataStart + data.size();
    const size_t nameListOff = kMapHeaderSize + typeList.size() + refs.size();
    const size_t mapLen = nameListOff + names.size();
    if (nameListOff > 0xFFFF) return Fail(error, "resource map too large (name list offset passes 16 bits)");
    if (mapOff + mapLen > 0xFFFFFFFFu) return Fail(error, "resources too large for one file");

    out.assign(kDataStart, 0);
    PutBE32(out.data(), uint32_t(kDataStart));
    PutBE32(out.data() + 4, uint32_t(mapOff));
    PutBE32(out.data() + 8, uint32_t(data.size()));
    PutBE32(out.data() + 12, uint32_t(mapLen));
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), out.begin(), out.begin() + kForkHeaderSize);  // map starts with a header copy
    AppendBE32(out, 0);  // next map handle
    AppendBE16(out, 0);  // file reference
    AppendBE16(out, 0);  // attributes
    AppendBE16(out, uint16_t(kMapHeaderSize));
    AppendBE16(out, uint16_t(nameListOff));
    out.insert(out.end(), typeList.begin(), typeList.end());
    out.insert(out.end(), refs.begin(), refs.end());
    out.insert(out.end(), names.begin(), names.end());
    return true;
}

bool ResourceFile::WriteToFile(const std::string& path, std::string& error) const {
    std::vector<uint8_t> bytes;
    // Everything is laid out and checked before the target is touched.
    if (!Serialize(bytes, error)) return false;
    return ReplaceFileContents(path, bytes.data(), bytes.size(), error);
}

const Resource* ResourceFile::Get(uint32_t type, int16_t id) const {
    const auto it = index_.find(KeyOf(type, id));
    return it == index_.end() ? nullptr : &resources_[it->second];
}

const Resource* ResourceFile::GetFirstOfType(uint32_t type) const {
    for (const auto& r : resources_)
        if (r.type == type) return &r;
    return nullptr;
}

int32_t ResourceFile::Size(uint32_t type, int16_t id) const {
    const Resource* r = Get(type, id);
    return r ? int32_t(r->data.size()) : -1;
}

void ResourceFile::Add(uint32_t type, int16_t id, const std::string& name, const uint8_t* bytes, size_t size) {
    Resource* target = const_cast<Resource*>(Get(type, id));
    if (!target) {
        index_[KeyOf(type, id)] = resources_.size();
        resources_.emplace_back();
        target = &resources_.back();
    }
    target->type = type;
    target->id = id;
    target->name = name.substr(0, 255);
    target->data.assign(bytes, bytes + size);
}

bool ResourceFile::Remove(uint32_t type, int16_t id) {
    auto it = std::find_if(resources_.begin(), resources_.end(),
                           [&](const Resource& r) { return r.type == type && r.id == id; });
    if (it == resources_.end()) return false;
    resources_.erase(it);
    Reindex();
    return true;
}

void ResourceFile::Reindex() {
    index_.clear();
    for (size_t i = 0; i < resources_.size(); ++i) index_[KeyOf(resources_[i].type, resources_[i].id)] = i;
}
