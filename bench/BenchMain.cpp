#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Base64Bench.h"
#include "BenchFolder.h"
#include "StoreBench.h"

// Runs both measurements, or only the one named: "base64" or "store", the latter optionally
// with a number of items other than 10,000 (fewer for a quick look).
int main(int argc, char** argv) {
    std::string only = argc > 1 ? argv[1] : "";
    int items = argc > 2 ? std::atoi(argv[2]) : 0;
    if (items <= 0) items = 10000;
    ::CoInitialize(nullptr);
    std::wstring folder = bench::MakeFolder(L"vb_bench_");
    bool ok = true;
    if (only.empty() || only == "base64") ok = RunBase64Bench(folder) && ok;
    if (only.empty() || only == "store") ok = RunStoreBench(folder, items) && ok;
    bench::RemoveTree(folder);
    ::CoUninitialize();
    std::printf("%s\n", ok ? "all round trips matched" : "A ROUND TRIP FAILED");
    return ok ? 0 : 1;
}
