// "key=value" output of the test helpers.
#include "tests/e2e/text_out.h"

namespace {

void WriteBytes(DWORD which, const std::string& bytes) {
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > 65536 ? 65536 : bytes.size() - done);
        if (!WriteFile(out, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring EscapeValue(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': out += L"\\\\"; break;
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            case L'\t': out += L"\\t"; break;
            default: out += c; break;
        }
    }
    return out;
}

void PrintField(const std::wstring& key, const std::wstring& value) {
    WriteBytes(STD_OUTPUT_HANDLE, ToUtf8(key + L"=" + EscapeValue(value) + L"\n"));
}

void PrintNumber(const std::wstring& key, long long value) {
    PrintField(key, std::to_wstring(value));
}

void PrintRect(const std::wstring& key, const RECT& rect) {
    PrintField(key, std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
                        std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom));
}

void PrintError(const std::wstring& message) {
    WriteBytes(STD_ERROR_HANDLE, ToUtf8(message + L"\n"));
}
