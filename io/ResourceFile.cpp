#include "io/ResourceFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "io/ByteOrder.h"

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
    size_t off = 0, len = size;
    if (!UnwrapResourceFork(bytes, size, off, len, error)) {
        if (!error.empty()) return false;
        off = 0;
        len = size;
    }
    if (!ParseFork(bytes + off, len, error)) {
        resources_.clear();
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

    for (size_t t = 0; t < typeCount; ++t) {
        const uint8_t* te = typeList + 2 + kTypeEntrySize * t;
        const uint32_t type = GetBE32(te);
        const size_t count = size_t(GetBE16(te + 4)) + 1;
        const size_t refOff = GetBE16(te + 6);  // from the start of the type list
        if (refOff < typeListBytes) return Fail(error, "reference list overlaps the type list");
        if (!Fits(typeListOff + refOff, kRefEntrySize * count, mapLen))
            return Fail(error, "reference count does not fit the map");
        const size_t refEnd = typeListOff + refOff + kRefEntrySize * count;
        if (nameListOff > typeListOff + refOff && nameListOff < refEnd)
            return Fail(error, "name list overlaps a reference list");
        for (size_t r = 0; r < count; ++r) {
            const uint8_t* re = typeList + refOff + kRefEntrySize * r;
            Resource res;
            res.type = type;
            res.id = int16_t(GetBE16(re));
            const uint16_t nameOff = GetBE16(re + 2);
            res.attributes = re[4];
            const size_t itemOff = GetBE24(re + 5);
            if (nameOff != 0xFFFF) {
                const size_t at = nameListOff + nameOff;
                if (!Fits(at, 1, mapLen) || !Fits(at + 1, map[at], mapLen))
                    return Fail(error, "resource name lies outside the map");
                res.name.assign(reinterpret_cast<const char*>(map + at + 1), map[at]);
            }
            if (!Fits(itemOff, 4, dataLen)) return Fail(error, "resource data offset out of range");
            const size_t itemLen = GetBE32(data + itemOff);
            if (!Fits(itemOff + 4, itemLen, dataLen)) return Fail(error, "resource length runs past the data");
            if (Get(type, res.id)) return Fail(error, "duplicate resource type and ID");
            res.data.assign(data + itemOff + 4, data + itemOff + 4 + itemLen);
            resources_.push_back(std::move(res));
        }
    }
    return true;
}

bool ResourceFile::ReadFromFile(const std::string& path, std::string& error) {
    resources_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "cannot open the file");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Fail(error, "cannot read the file");
    return Parse(bytes.data(), bytes.size(), error);
}

std::vector<uint8_t> ResourceFile::Serialize() const {
    // Group by type in first-seen order so each type has one reference list.
    std::vector<uint32_t> types;
    for (const auto& r : resources_)
        if (std::find(types.begin(), types.end(), r.type) == types.end()) types.push_back(r.type);

    std::vector<uint8_t> data, names, refs, typeList;
    const size_t typeListBytes = 2 + kTypeEntrySize * types.size();
    AppendBE16(typeList, uint16_t(types.size() - 1));  // 0xFFFF when there are none
    for (uint32_t type : types) {
        size_t count = 0;
        const size_t refOff = typeListBytes + refs.size();
        for (const auto& r : resources_) {
            if (r.type != type) continue;
            ++count;
            AppendBE16(refs, uint16_t(r.id));
            if (r.name.empty()) {
                AppendBE16(refs, 0xFFFF);
            } else {
                AppendBE16(refs, uint16_t(names.size()));
                const size_t n = std::min<size_t>(r.name.size(), 255);
                names.push_back(uint8_t(n));
                names.insert(names.end(), r.name.begin(), r.name.begin() + n);
            }
            const uint32_t off = uint32_t(data.size());
            AppendBE32(refs, (uint32_t(r.attributes) << 24) | (off & 0xFFFFFF));
            AppendBE32(refs, 0);
            AppendBE32(data, uint32_t(r.data.size()));
            data.insert(data.end(), r.data.begin(), r.data.end());
        }
        AppendBE32(typeList, type);
        AppendBE16(typeList, uint16_t(count - 1));
        AppendBE16(typeList, uint16_t(refOff));
    }
    const size_t mapOff = kDataStart + data.size();
    const size_t nameListOff = kMapHeaderSize + typeList.size() + refs.size();
    const size_t mapLen = nameListOff + names.size();

    std::vector<uint8_t> out(kDataStart, 0);
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
    return out;
}

bool ResourceFile::WriteToFile(const std::string& path, std::string& error) const {
    const std::vector<uint8_t> bytes = Serialize();
    if (bytes.size() - kDataStart > 0xFFFFFF + size_t(0xFFFF)) return Fail(error, "resources too large for one file");
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, "cannot create the file");
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return Fail(error, "cannot write the file");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        return Fail(error, "cannot replace the file");
    }
    return true;
}

const Resource* ResourceFile::Get(uint32_t type, int16_t id) const {
    for (const auto& r : resources_)
        if (r.type == type && r.id == id) return &r;
    return nullptr;
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
    return true;
}
