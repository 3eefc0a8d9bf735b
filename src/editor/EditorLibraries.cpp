#include "EditorLibraries.h"

#include <utility>

#include "Resources.h"

namespace {

unsigned g_useCount = 0;
std::wstring g_folder;

std::wstring ComponentFolder() {
    if (!g_folder.empty()) {
        std::wstring folder = g_folder;
        if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
        return folder;
    }
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    // Only the program's own folder: never the search path, where another copy may lie.
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

vb::UniqueModule LoadFromFolder(const std::wstring& folder, const wchar_t* name, std::wstring& error) {
    vb::UniqueModule module(::LoadLibraryW((folder + name).c_str()));
    if (!module) error = vb::FormatWin32Error(::GetLastError());
    return module;
}

}  // namespace

bool CEditorLibraries::Load(std::wstring& error) {
    if (IsLoaded()) return true;
    std::wstring folder = ComponentFolder();
    vb::UniqueModule scintilla = LoadFromFolder(folder, L"Scintilla.dll", error);
    if (!scintilla) return false;
    vb::UniqueModule lexilla = LoadFromFolder(folder, L"Lexilla.dll", error);
    if (!lexilla) return false;
    scintilla_ = std::move(scintilla);
    lexilla_ = std::move(lexilla);
    ++g_useCount;
    return true;
}

void CEditorLibraries::Release() noexcept {
    if (!IsLoaded()) return;
    // The lexers live in Lexilla and are released by the control's document: Scintilla's
    // windows must be gone before either library goes.
    lexilla_.Reset();
    scintilla_.Reset();
    if (g_useCount > 0) --g_useCount;
}

void* CEditorLibraries::CreateLexer(const char* name) const {
    using CreateLexerFunction = void*(__stdcall*)(const char*);
    if (!lexilla_) return nullptr;
    auto create = reinterpret_cast<CreateLexerFunction>(
        reinterpret_cast<void*>(::GetProcAddress(lexilla_.Get(), "CreateLexer")));
    return create ? create(name) : nullptr;
}

unsigned CEditorLibraries::UseCount() noexcept { return g_useCount; }

std::wstring CEditorLibraries::SetFolder(std::wstring folder) { return std::exchange(g_folder, std::move(folder)); }
