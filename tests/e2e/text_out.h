#pragma once
// Output of the test helpers: "key=value" lines in UTF-8 on standard output,
// values escaped so that one value never spans two lines.
#include <windows.h>

#include <string>

// Backslash, CR, LF and TAB become \\, \r, \n and \t.
std::wstring EscapeValue(const std::wstring& text);

// Writes "key=value\n" with the value escaped.
void PrintField(const std::wstring& key, const std::wstring& value);
void PrintNumber(const std::wstring& key, long long value);
// Writes "key=l t r b".
void PrintRect(const std::wstring& key, const RECT& rect);
// Writes a message line to standard error.
void PrintError(const std::wstring& message);
