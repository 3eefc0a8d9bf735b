// The device database file: made from the empty template, completed with its tables and the
// global script row, and the offer to bring in the device definition file.
#include "DbTransaction.h"
#include "GlobalScript.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kDatabaseFile[] = L"Data\\Data.mdb";
constexpr wchar_t kDefinitionFile[] = L"Devices2.def";
constexpr wchar_t kGlobalScriptName[] = L"#Global_Script";
// A new device database is made complete under this name first, so that a start killed
// halfway never leaves a Data.mdb without its tables.
constexpr wchar_t kUnfinishedSuffix[] = L".new";
// SQLite keeps its journal beside the database under this name.
constexpr wchar_t kJournalSuffix[] = L"-journal";

struct Table {
    const wchar_t* name;
    const wchar_t* create;
};

// In the order they are created.
constexpr Table kTables[] = {
    {L"DRIVER_FAMILIES", L"CREATE TABLE [DRIVER_FAMILIES] ([KEY] VARCHAR(6) NOT NULL,[NAME] VARCHAR(64) NOT NULL)"},
    {L"DRIVER_MODELS",
     L"CREATE TABLE [DRIVER_MODELS] ([KEY] VARCHAR(6) NOT NULL,[NAME] VARCHAR(64) NOT NULL,[CATALOG] MEMO,[REFS] "
     L"LONG NOT NULL)"},
    {L"SCRIPTS", L"CREATE TABLE [SCRIPTS] ([KEY] LONG NOT NULL,[NAME] VARCHAR(128) NOT NULL,[DATA] MEMO)"},
};

bool IsFile(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void DeleteDatabaseFiles(const std::wstring& path) {
    ::DeleteFileW(path.c_str());
    ::DeleteFileW((path + kJournalSuffix).c_str());
}

// Asked without a box: a missing table is not a failure here but work to do.
bool TableExists(CDbConnection& db, const wchar_t* table) {
    bool exists = SUCCEEDED(db.OpenRowset(vb::FormatTemplate(L"SELECT * FROM [%s] WHERE 1 = 0", {table}).c_str()));
    db.Close();
    return exists;
}

}  // namespace

BOOL CWorkSpace::CreateDatabaseFile(LPCWSTR path, BOOL* created) {
    if (!path || !*path) return FALSE;
    if (IsFile(path)) return TRUE;
    if (!EnsureFolderPath(path)) return FALSE;
    HMODULE program = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(IDR_DATABASE_TEMPLATE), L"FILE");
    HGLOBAL loaded = found ? ::LoadResource(program, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = found ? ::SizeofResource(program, found) : 0;
    if (!bytes || !size) return FALSE;
    vb::UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FALSE;
    DWORD written = 0;
    bool whole = ::WriteFile(file.Get(), bytes, size, &written, nullptr) && written == size;
    file.Reset();
    if (!whole) {
        // A cut template would later be opened as a damaged database.
        ::DeleteFileW(path);
        return FALSE;
    }
    if (created) *created = TRUE;
    return TRUE;
}

void CWorkSpace::OpenDeviceDatabase() {
    // The program folder always ends with '\'.
    const std::wstring& folder = programFolder_;
    const std::wstring database = folder + kDatabaseFile;
    const std::wstring failure = OpenDeviceConnection(database);
    if (!failure.empty()) {
        // Said once, here: every list and script of the bench stays empty without it.
        vb::ShowMessageBox(vb::FormatResString(IDS_DEVICE_DATABASE_UNUSABLE, {database, failure}),
                           MB_OK | MB_ICONERROR);
        return;
    }
    OfferDefinitionImport(folder + kDefinitionFile);
}

std::wstring CWorkSpace::OpenDeviceConnection(const std::wstring& path) {
    std::wstring failure = CreateDeviceDatabase(path);
    if (!failure.empty()) return failure;
    if (!deviceDb_.Open(DatabaseConnectionString(path).c_str())) return deviceDb_.LastErrorText();
    // A database that cannot be completed (read-only, locked) stays closed: its lists stay
    // empty instead of each statement failing on a missing table.
    if (!CompleteDeviceDatabase()) {
        failure = deviceDb_.LastErrorText();
        deviceDb_.Close(TRUE);
    }
    return failure;
}

std::wstring CWorkSpace::CreateDeviceDatabase(const std::wstring& path) {
    if (IsFile(path)) return {};
    if (!EnsureFolderPath(path)) {
        return vb::FormatResString(IDS_FOLDER_NOT_MADE, {path.substr(0, path.find_last_of(L'\\'))});
    }
    const std::wstring unfinished = path + kUnfinishedSuffix;
    DeleteDatabaseFiles(unfinished);  // what a start killed halfway left behind
    BOOL created = FALSE;
    if (!CreateDatabaseFile(unfinished.c_str(), &created) || !created) {
        return vb::FormatWin32Error(::GetLastError());
    }
    std::wstring failure;
    if (!deviceDb_.Open(DatabaseConnectionString(unfinished).c_str()) || !CompleteDeviceDatabase()) {
        failure = deviceDb_.LastErrorText();
    }
    // Closed before the rename: an open file cannot be moved.
    deviceDb_.Close(TRUE);
    if (failure.empty() && !::MoveFileW(unfinished.c_str(), path.c_str())) {
        failure = vb::FormatWin32Error(::GetLastError());
    }
    DeleteDatabaseFiles(unfinished);
    // Another start may have put its own complete file in place meanwhile.
    return IsFile(path) ? std::wstring() : failure;
}

bool CWorkSpace::CompleteDeviceDatabase() {
    std::vector<const wchar_t*> missing;
    for (const Table& table : kTables) {
        if (!TableExists(deviceDb_, table.name)) missing.push_back(table.create);
    }
    CScriptItem stored(0);
    if (missing.empty() && ReadScriptRow(stored) == ScriptRow::Found) return true;

    // Quietly, as a database that cannot be opened: a file opened for reading only takes the
    // transaction and refuses only the first write.
    CDbTransaction transaction(deviceDb_);
    if (!transaction.IsActive()) return false;
    for (const wchar_t* create : missing) {
        if (FAILED(deviceDb_.OpenRowset(create))) return false;
    }
    CScriptItem global(0);
    global.NAME = kGlobalScriptName;
    BuildGlobalScript(global.DATA);
    const std::wstring insert = ScriptWriteStatement(global, 0);
    if (insert.empty() || FAILED(deviceDb_.OpenRowset(insert.c_str()))) return false;
    return transaction.Commit();
}

void CWorkSpace::OfferDefinitionImport(const std::wstring& definitionFile) {
    if (!FileExists(definitionFile)) return;
    CDeviceStorage storage;
    if (storage.Open(definitionFile, TRUE) != CDeviceStorage::kOk) return;
    const UINT flags = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    if (vb::ShowMessageBox(vb::LoadResString(IDS_SYNCHRONIZE_DEVICES), flags) != IDYES) return;
    bool complete = ImportDeviceDefinitions(storage);
    storage.Release();
    // Moved aside once the tables were replaced, even without the rows the database refused
    // (the import's box named them): a file that did not go in at all is offered again.
    if (complete) {
        ::MoveFileExW(definitionFile.c_str(), (definitionFile + L".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}
