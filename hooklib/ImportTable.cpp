#include "ImportTable.h"

#include <string>

namespace latchwire {

namespace {

template <class T>
T* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

const IMAGE_IMPORT_DESCRIPTOR* FirstLibrary(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    return imports.VirtualAddress ? At<const IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress) : nullptr;
}

// Whether an entry was imported under the name `function`. A library bound without its name
// table has only addresses left: the entry then matches when it holds what the library
// exports under that name.
bool ImportedAs(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& library, size_t index, std::string_view function) {
    if (library.OriginalFirstThunk) {
        const auto& name = At<const IMAGE_THUNK_DATA>(module, library.OriginalFirstThunk)[index];
        if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)) return false;
        return function == At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name.u1.AddressOfData))->Name;
    }
    HMODULE exporter = ::GetModuleHandleA(At<const char>(module, library.Name));
    return exporter && reinterpret_cast<void*>(::GetProcAddress(exporter, std::string(function).c_str())) ==
                           At<void*>(module, library.FirstThunk)[index];
}

// Calls visit(entry, function) for every entry of `module` imported under one of the names.
template <class Names, class Visit>
void ForEachImport(HMODULE module, const Names& names, Visit visit) {
    if (!module) return;
    for (const IMAGE_IMPORT_DESCRIPTOR* library = FirstLibrary(module); library && library->Name; ++library) {
        void** entries = At<void*>(module, library->FirstThunk);
        for (size_t index = 0; entries[index]; ++index)
            for (const auto& name : names)
                if (ImportedAs(module, *library, index, name)) visit(&entries[index], name);
    }
}

// Import tables usually sit in read-only pages, sometimes beside code that other threads are
// running, so a page keeps its execute right while it is written.
bool WriteEntry(void** entry, void* value) {
    MEMORY_BASIC_INFORMATION page{};
    if (!::VirtualQuery(entry, &page, sizeof page)) return false;
    constexpr DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const DWORD writable = (page.Protect & kExecutable) ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE;
    DWORD previous = 0;
    if (!::VirtualProtect(entry, sizeof *entry, writable, &previous)) return false;
    // Other threads may be calling through the entry while it changes.
    ::InterlockedExchangePointer(entry, value);
    ::VirtualProtect(entry, sizeof *entry, previous, &previous);
    return true;
}

}  // namespace

void** FindImport(HMODULE module, std::string_view function) {
    void** found = nullptr;
    ForEachImport(module, std::initializer_list<std::string_view>{function}, [&](void** entry, std::string_view) {
        if (!found) found = entry;
    });
    return found;
}

std::vector<PatchedImport> PatchImports(HMODULE module, const std::vector<ImportReplacement>& replacements) {
    std::vector<std::string_view> names;
    for (const ImportReplacement& wanted : replacements) names.push_back(wanted.function);
    std::vector<PatchedImport> patched;
    ForEachImport(module, names, [&](void** entry, std::string_view function) {
        for (const ImportReplacement& wanted : replacements) {
            if (wanted.function != function || *entry == wanted.replacement) continue;
            void* original = *entry;
            if (WriteEntry(entry, wanted.replacement)) patched.push_back({function, entry, original, wanted.replacement});
        }
    });
    return patched;
}

void RestoreImports(const std::vector<PatchedImport>& patched) {
    for (const PatchedImport& import : patched)
        if (*import.entry == import.replacement) WriteEntry(import.entry, import.original);
}

}  // namespace latchwire
