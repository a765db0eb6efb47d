#pragma once
// The licence text's form: the setup converts it from the machine's ANSI
// code page and shows it as it stands, so it must be single-byte text in
// code page 1252 with CR LF line ends.
#include <cstdint>
#include <string>
#include <vector>

// true when the text has that form; otherwise false with a message that
// says what is wrong and where (zero bytes or a byte-order mark of UTF-16
// or UTF-8, text that reads as UTF-8, bytes code page 1252 does not define,
// a line ended by LF or CR alone, an empty text).
bool CheckAgreementText(const std::vector<uint8_t>& text, std::string& error);
