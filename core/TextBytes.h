// Text of unknown origin made safe to show: names in universe files are UTF-8
// when this application wrote them and the classic Mac OS Roman character set
// when older programs did; either way what leaves here is valid UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const uint8_t* bytes, size_t size);

// The longest prefix of at most `room` bytes of UTF-8 text that ends on a
// character boundary.
size_t Utf8PrefixLength(std::string_view text, size_t room);

// Valid UTF-8 is kept; anything else is read as Mac OS Roman. When the bytes
// fill their whole room, a character cut at the end by an earlier writer is
// dropped rather than shown as Roman. Control characters show as U+FFFD.
std::string DisplayText(const uint8_t* bytes, size_t size, size_t room);

// Text read from a file (a key, a value, a picture's name) as a one-line message shows it:
// as DisplayText shows it, so that a line break in it cannot split the message.
std::string OnOneLine(std::string_view text);
// The same in double quotes, cut with an ellipsis past 64 bytes.
std::string QuotedForMessage(std::string_view text);
