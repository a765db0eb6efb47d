#include "test_support.h"

#include <cwchar>

#include "test_paths.h"

std::wstring Stage(const std::wstring& relative) {
    return relative.empty() ? std::wstring(kStageDir) : std::wstring(kStageDir) + L"\\" + relative;
}
std::wstring Source(const std::wstring& relative) {
    return std::wstring(kSourceDir) + L"\\" + relative;
}

bool FolderIsEmpty(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        if (wcscmp(entry.cFileName, L".") && wcscmp(entry.cFileName, L"..")) empty = false;
    } while (empty && FindNextFileW(find, &entry));
    FindClose(find);
    return empty;
}

bool ReadBytes(const std::wstring& path, std::string* bytes) {
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

namespace {

// The parent's environment with the overrides applied, as a block.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& overrides) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; p && *p; p += std::wcslen(p) + 1) {
        const std::wstring entry(p);
        bool replaced = false;
        for (const std::wstring& o : overrides) {
            const size_t equals = o.find(L'=');
            if (entry.size() > equals && entry[equals] == L'=' &&
                _wcsnicmp(entry.c_str(), o.c_str(), equals) == 0)
                replaced = true;
        }
        if (!replaced) block += entry + L'\0';
    }
    if (strings) FreeEnvironmentStringsW(strings);
    for (const std::wstring& o : overrides) block += o + L'\0';
    block += L'\0';
    return block;
}

HANDLE MakeJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

bool Start(const std::wstring& commandLine, const ProcessOptions& options, HANDLE job, HANDLE output,
           PROCESS_INFORMATION* process) {
    std::wstring mutableLine = commandLine;
    std::wstring environment = EnvironmentBlock(options.environmentOverrides);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    if (!CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, output ? TRUE : FALSE,
                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, &environment[0],
                        options.currentFolder.empty() ? nullptr : options.currentFolder.c_str(), &startup,
                        process))
        return false;
    AssignProcessToJobObject(job, process->hProcess);
    ResumeThread(process->hThread);
    CloseHandle(process->hThread);
    return true;
}

bool JobEmpty(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr) &&
           info.ActiveProcesses == 0;
}

bool WaitJobEmpty(HANDLE job, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!JobEmpty(job)) {
        if (GetTickCount64() > end) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace

ProcessOutcome RunInJob(const std::wstring& commandLine, const ProcessOptions& options) {
    ProcessOutcome outcome;
    HANDLE job = MakeJob();
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (options.captureOutput) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        CreatePipe(&readEnd, &writeEnd, &inherit, 0);
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    }
    PROCESS_INFORMATION process = {};
    outcome.started = job && Start(commandLine, options, job, writeEnd, &process);
    if (writeEnd) CloseHandle(writeEnd);
    if (outcome.started) {
        if (readEnd) {
            char buffer[4096];
            DWORD got = 0;
            while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
                outcome.output.append(buffer, got);
        }
        if (WaitForSingleObject(process.hProcess, options.timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &outcome.exitCode);
        outcome.allEnded = WaitJobEmpty(job, options.timeoutMs);
        CloseHandle(process.hProcess);
    }
    if (readEnd) CloseHandle(readEnd);
    if (job) CloseHandle(job);
    return outcome;
}

RunningProcess::RunningProcess(const std::wstring& commandLine, const ProcessOptions& options) {
    job_ = MakeJob();
    PROCESS_INFORMATION process = {};
    if (job_ && Start(commandLine, options, job_, nullptr, &process)) {
        process_ = process.hProcess;
        id_ = process.dwProcessId;
    }
}

RunningProcess::~RunningProcess() {
    Terminate();
    if (process_) CloseHandle(process_);
    if (job_) CloseHandle(job_);
}

bool RunningProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process_, exitCode) != 0;
}

bool RunningProcess::WaitForAll(DWORD timeoutMs) {
    return job_ && WaitJobEmpty(job_, timeoutMs);
}

void RunningProcess::Terminate() {
    if (job_ && !JobEmpty(job_)) {
        TerminateJobObject(job_, 99);
        WaitJobEmpty(job_, 10000);
    }
}

namespace {

struct WindowSearch {
    const std::wstring* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId) return TRUE;
    if (WindowText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"Static") == 0) {
        std::wstring* texts = reinterpret_cast<std::wstring*>(parameter);
        const std::wstring text = WindowText(child);
        if (!text.empty()) *texts += text + L"\n";
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindow(const std::wstring& title, DWORD processId, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        WindowSearch search = {&title, processId, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount64() > end) return nullptr;
        Sleep(100);
    }
}

std::wstring StaticTexts(HWND window) {
    std::wstring texts;
    EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT reaches windows of other processes too.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}
