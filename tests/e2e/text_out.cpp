// "key=value" output of the test helpers.
#include "tests/e2e/text_out.h"

#include "tests/win32/support/text.h"

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
    WriteBytes(STD_OUTPUT_HANDLE, WideToUtf8(key + L"=" + EscapeValue(value) + L"\n"));
}

void PrintNumber(const std::wstring& key, long long value) {
    PrintField(key, std::to_wstring(value));
}

void PrintRect(const std::wstring& key, const RECT& rect) {
    PrintField(key, std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
                        std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom));
}

void PrintError(const std::wstring& message) {
    WriteBytes(STD_ERROR_HANDLE, WideToUtf8(message + L"\n"));
}
