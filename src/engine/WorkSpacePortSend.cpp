// Sending a captured file to the configured output port, or showing it in Notepad.
#include <algorithm>
#include <memory>
#include <new>

#include "Resources.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kGeneral[] = L"GENERAL";
constexpr wchar_t kFileOutput[] = L"FILE";
constexpr wchar_t kDefaultSerialSettings[] = L"baud=9600 parity=n data=8 stop=1";
// Small chunks with a pause before each keep a slow printer's buffer from overflowing.
constexpr DWORD kChunkSize = 0x10000;
constexpr DWORD kChunkPauseMs = 10;

bool ReadWhole(HANDLE file, char* buffer, DWORD length) {
    for (DWORD total = 0; total < length;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer + total, length - total, &read, nullptr)) return false;
        if (read == 0) {
            ::SetLastError(ERROR_HANDLE_EOF);  // the file shrank while it was read
            return false;
        }
        total += read;
    }
    return true;
}

// A file port that is a file on a local disk keeps nothing of an earlier, longer output. Shares
// and devices ("\\server\...", "\\?\...", "\\.\...") are never cut: a printer share would
// take the request as data, or refuse it.
bool CutsToLength(HANDLE port, const std::wstring& path) {
    return ::GetFileType(port) == FILE_TYPE_DISK && path.compare(0, 2, L"\\\\") != 0;
}

}  // namespace

void CWorkSpace::SendToPort(const std::wstring& file, BOOL toDevice) {
    if (file.empty() || !usesOutput_) return;
    std::wstring port = output_;
    GetUsbDevicePath(port);
    if (vb::EqualsNoCase(output_, kFileOutput)) {
        ShowInNotepad(file);
        return;
    }
    if (!toDevice) return;

    // A path names a file or a share: it is made when missing and not truncated on opening.
    const bool isPath = output_.find(L'\\') != std::wstring::npos;
    vb::UniqueFile device(::CreateFileW(port.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        isPath ? OPEN_ALWAYS : OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    Log(vb::FormatTemplate(L"Opening port [%s]...", {port}));
    if (!device) {
        LogError(output_ + L" cannot be opened!");
        return;
    }
    vb::UniqueFile source(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!source || !::GetFileSizeEx(source.Get(), &size) || size.QuadPart > MAXDWORD) {
        DWORD error = source && size.QuadPart > MAXDWORD ? ERROR_FILE_TOO_LARGE : ::GetLastError();
        LogError(vb::FormatTemplate(L"%s cannot be read: %s", {file, vb::FormatWin32Error(error)}));
        return;
    }
    if (output_.find(L"COM") != std::wstring::npos) SetUpSerialLine(device.Get());

    const DWORD length = static_cast<DWORD>(size.QuadPart);
    if (length > 0) {
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[length]);
        if (!buffer || !ReadWhole(source.Get(), buffer.get(), length)) {
            DWORD error = buffer ? ::GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
            LogError(vb::FormatTemplate(L"%s cannot be read: %s", {file, vb::FormatWin32Error(error)}));
            return;
        }
        if (!SendBytes(device.Get(), buffer.get(), length)) return;
    }
    if (CutsToLength(device.Get(), port)) {
        LARGE_INTEGER end{};
        end.QuadPart = length;
        if (!::SetFilePointerEx(device.Get(), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(device.Get())) {
            LogError(vb::FormatWin32Error(::GetLastError()));
        }
    }
    device.Reset();
    if (FileExists(output_)) OpenInNotepad(output_);
}

// The files a print file lists first, then the print file itself.
void CWorkSpace::ShowInNotepad(const std::wstring& file) {
    std::vector<std::wstring> subFiles;
    if (!ReadPrnSubFiles(file, subFiles)) return;
    for (const std::wstring& subFile : subFiles) OpenInNotepad(subFile);
    if (FileExists(file)) OpenInNotepad(file);
}

// A port that is no serial line (a USB printer whose name holds "COM") fails GetCommState;
// the data go out all the same.
void CWorkSpace::SetUpSerialLine(HANDLE port) {
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(port, &line)) {
        LogError(vb::FormatWin32Error(::GetLastError()));
        return;
    }
    std::wstring settings = settings_.ReadString(kGeneral, output_.c_str());
    if (settings.empty()) {
        settings = kDefaultSerialSettings;
        settings_.WriteString(kGeneral, output_.c_str(), settings);
    }
    Log(vb::FormatTemplate(L"Serial settings '%s'...", {settings}));
    ::BuildCommDCBW(settings.c_str(), &line);
    // Raw bytes without any handshake: a label printer on a three-wire cable raises no lines.
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fDsrSensitivity = FALSE;
    line.fTXContinueOnXoff = FALSE;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    ::SetCommState(port, &line);
    COMMTIMEOUTS timeouts{};
    ::GetCommTimeouts(port, &timeouts);
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    ::SetCommTimeouts(port, &timeouts);
    ::PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
}

// Every chunk names its own offset: a file port written through a record left at offset 0
// would get each chunk over the first one.
bool CWorkSpace::SendBytes(HANDLE port, const char* data, DWORD length) {
    vb::UniqueKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        LogError(vb::FormatWin32Error(::GetLastError()));
        return false;
    }
    Log(vb::FormatTemplate(L"Sending data (%s bytes) to [%s]...", {std::to_wstring(length), output_}));
    for (DWORD sent = 0; sent < length;) {
        const DWORD chunk = std::min(length - sent, kChunkSize);
        ::Sleep(kChunkPauseMs);
        OVERLAPPED position{};
        position.Offset = sent;
        position.hEvent = done.Get();
        DWORD written = 0;
        bool ok = ::WriteFile(port, data + sent, chunk, nullptr, &position) || ::GetLastError() == ERROR_IO_PENDING;
        ok = ok && ::GetOverlappedResult(port, &position, &written, TRUE);
        if (!ok || written != chunk) {
            LogError(vb::FormatWin32Error(ok ? ERROR_WRITE_FAULT : ::GetLastError()));
            return false;
        }
        sent += chunk;
    }
    return true;
}

BOOL CWorkSpace::OpenInNotepad(const std::wstring& file) {
    std::wstring commandLine = L"notepad.exe";
    if (!file.empty() && file.front() != L' ') commandLine += L" " + file;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &process)) {
        PumpMessages();
        ::Sleep(250);
        return FALSE;
    }
    vb::UniqueKernelHandle processHandle(process.hProcess);
    vb::UniqueKernelHandle thread(process.hThread);
    ::ResumeThread(thread.Get());
    return TRUE;
}
