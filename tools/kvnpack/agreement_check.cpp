#include "tools/kvnpack/agreement_check.h"

namespace {

const char kForm[] = "; the licence text must be single-byte text in code page 1252 with CR LF line ends";

// Length of a well-formed UTF-8 sequence of two or more bytes at i, or 0.
size_t Utf8SequenceAt(const std::vector<uint8_t>& text, size_t i) {
    const uint8_t lead = text[i];
    const size_t length = (lead >= 0xC2 && lead <= 0xDF)   ? 2
                          : (lead >= 0xE0 && lead <= 0xEF) ? 3
                          : (lead >= 0xF0 && lead <= 0xF4) ? 4
                                                           : 0;
    if (!length || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((text[i + k] & 0xC0) != 0x80) return 0;
    return length;
}

// True when every byte above 127 belongs to a UTF-8 sequence and there is one.
bool ReadsAsUtf8(const std::vector<uint8_t>& text) {
    bool sequences = false;
    for (size_t i = 0; i < text.size();) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceAt(text, i);
        if (!length) return false;
        sequences = true;
        i += length;
    }
    return sequences;
}

bool Refuse(std::string& error, const std::string& what) {
    error = what + kForm;
    return false;
}

}  // namespace

bool CheckAgreementText(const std::vector<uint8_t>& text, std::string& error) {
    if (text.empty()) return Refuse(error, "it is empty");
    if (text.size() >= 2 && ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF)))
        return Refuse(error, "it is UTF-16 text (it starts with a UTF-16 byte-order mark)");
    if (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF)
        return Refuse(error, "it is UTF-8 text (it starts with a UTF-8 byte-order mark)");
    size_t line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = text[i];
        if (c == 0)
            return Refuse(error, "it holds a zero byte in line " + std::to_string(line) + " (UTF-16?)");
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            return Refuse(error,
                          "line " + std::to_string(line) + " holds a byte code page 1252 does not define");
        if (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return Refuse(error, "line " + std::to_string(line) + " ends with CR alone");
        if (c == '\n') {
            if (i == 0 || text[i - 1] != '\r')
                return Refuse(error, "line " + std::to_string(line) + " ends with LF alone");
            ++line;
        }
    }
    if (ReadsAsUtf8(text))
        return Refuse(error, "it reads as UTF-8 text (the setup would show its accents garbled)");
    return true;
}
