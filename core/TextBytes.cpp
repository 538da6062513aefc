#include "core/TextBytes.h"

namespace {

// Mac OS Roman 0x80..0xFF as Unicode, from Apple's mapping table
// (Unicode Consortium, MAPPINGS/VENDORS/APPLE/ROMAN.TXT; 0xDB is the euro sign).
constexpr char16_t kRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one character at p (n bytes available); 0 when the bytes there are not UTF-8.
size_t DecodeUtf8(const uint8_t* p, size_t n, char32_t& c) {
    const uint8_t b = p[0];
    size_t len;
    char32_t least;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2, c = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, c = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (n < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (p[k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return len;
}

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0); }

// Length of the text without a lead byte and its continuation bytes that end it unfinished.
size_t WithoutCutCharacter(const uint8_t* p, size_t n) {
    size_t k = n;
    while (k > 0 && (p[k - 1] & 0xC0) == 0x80 && n - k < 3) --k;
    if (k == 0 || p[k - 1] < 0xC0) return n;
    char32_t c;
    return DecodeUtf8(p + k - 1, n - k + 1, c) == 0 ? k - 1 : n;
}

}  // namespace

bool IsValidUtf8(const uint8_t* bytes, size_t size) {
    for (size_t i = 0; i < size;) {
        char32_t c;
        const size_t len = DecodeUtf8(bytes + i, size - i, c);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

size_t Utf8PrefixLength(std::string_view text, size_t room) {
    if (text.size() <= room) return text.size();
    size_t n = room;
    // Back up over continuation bytes to the start of the character that does not fit.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

std::string DisplayText(const uint8_t* bytes, size_t size, size_t room) {
    std::string out;
    if (!bytes) return out;
    size_t n = size;
    if (size == room && !IsValidUtf8(bytes, size)) n = WithoutCutCharacter(bytes, size);
    if (IsValidUtf8(bytes, n)) {
        for (size_t i = 0; i < n;) {
            char32_t c;
            i += DecodeUtf8(bytes + i, n - i, c);
            AppendUtf8(out, IsControl(c) ? kReplacement : c);
        }
        return out;
    }
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = bytes[i];
        const char32_t c = b < 0x80 ? char32_t(b) : char32_t(kRoman[b - 0x80]);
        AppendUtf8(out, IsControl(c) ? kReplacement : c);
    }
    return out;
}

std::string OnOneLine(std::string_view text) {
    return DisplayText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), text.size() + 1);
}

std::string QuotedForMessage(std::string_view text) {
    const size_t shown = Utf8PrefixLength(text, 64);  // cut between characters
    return "\"" + OnOneLine(text.substr(0, shown)) + (shown < text.size() ? "\u2026\"" : "\"");
}
