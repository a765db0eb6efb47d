#pragma once
// Strict conversions between UTF-8 file names and the UTF-16 code units of
// package record names.
#include <string>

// false for bytes that are not well-formed UTF-8 (overlong forms, surrogates,
// values above U+10FFFF, cut sequences).
bool Utf8ToUtf16(const std::string& text, std::u16string& out);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
