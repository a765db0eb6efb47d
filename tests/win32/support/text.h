#pragma once
// Text in the test programs: UTF-8 and UTF-16, and the plain conversions of
// build-time paths and messages.
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// Each byte one character (ASCII or Latin-1 text, such as a path the build
// wrote into the program).
std::wstring Widen(const char* text);
std::wstring Widen(const std::u16string& text);
// ASCII for messages: every other character becomes '?'.
std::string Narrow(const std::wstring& text);
