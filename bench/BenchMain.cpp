#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Base64Bench.h"
#include "StoreBench.h"

namespace {

// A fresh folder under the temporary folder; removed again when the run ends.
std::wstring MakeFolder() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"vb_bench_" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

// Runs both measurements, or only the one named: "base64" or "store", the latter optionally
// with a number of items other than 10,000 (fewer for a quick look).
int main(int argc, char** argv) {
    std::string only = argc > 1 ? argv[1] : "";
    int items = argc > 2 ? std::atoi(argv[2]) : 0;
    if (items <= 0) items = 10000;
    ::CoInitialize(nullptr);
    std::wstring folder = MakeFolder();
    bool ok = true;
    if (only.empty() || only == "base64") ok = RunBase64Bench(folder) && ok;
    if (only.empty() || only == "store") ok = RunStoreBench(folder, items) && ok;
    RemoveFolder(folder);
    ::CoUninitialize();
    std::printf("%s\n", ok ? "all round trips matched" : "A ROUND TRIP FAILED");
    return ok ? 0 : 1;
}
