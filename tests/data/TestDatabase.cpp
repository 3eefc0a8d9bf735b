#include "TestDatabase.h"

namespace vb::test {

TestDatabase::TestDatabase(const std::wstring& name) : path_(folder_ / name) { WriteFileBytes(path_, ""); }

std::wstring TestDatabase::ConnectionString() const {
    return L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_ + L";User Id=admin;Password=;";
}

const wchar_t* const kCreateDriverFamilies =
    L"CREATE TABLE [DRIVER_FAMILIES] ([KEY] VARCHAR(6) NOT NULL,[NAME] VARCHAR(64) NOT NULL)";
const wchar_t* const kCreateDriverModels =
    L"CREATE TABLE [DRIVER_MODELS] ([KEY] VARCHAR(6) NOT NULL,[NAME] VARCHAR(64) NOT NULL,[CATALOG] MEMO,[REFS] LONG "
    L"NOT NULL)";
const wchar_t* const kCreateScripts = L"CREATE TABLE [SCRIPTS] ([KEY] LONG NOT NULL,[NAME] VARCHAR(128) NOT NULL,[DATA] MEMO)";
const wchar_t* const kCreateOutput =
    L"CREATE TABLE [OUTPUT] ([NAME] VARCHAR(64) NOT NULL,[KEY] LONG NOT NULL,[KEY_SUB] VARCHAR(192) NOT "
    L"NULL,[REF_USER] VARCHAR(32),[REF_SYSTEM] VARCHAR(64),[REF_DRV_VERSION] VARCHAR(16),[REF_DATE] DATE,[REF_DATA] "
    L"MEMO,[REF_DURATION] LONG,[REF_GDI_OBJ] LONG,[REF_USR_OBJ] LONG,[REF_MEM_USAGE] LONG,[CMP_USER] "
    L"VARCHAR(32),[CMP_SYSTEM] VARCHAR(64),[CMP_DRV_VERSION] VARCHAR(16),[CMP_DATE] DATE,[CMP_DATA] "
    L"MEMO,[CMP_DURATION] LONG,[CMP_GDI_OBJ] LONG,[CMP_USR_OBJ] LONG,[CMP_MEM_USAGE] LONG,[SUCCESS] YESNO NOT NULL, "
    L"CONSTRAINT OUTPUT_INDEX PRIMARY KEY ([NAME], [KEY], [KEY_SUB]))";

bool CreateProgramTables(CDbConnection& connection, const TestDatabase& database) {
    if (!connection.Open(database.ConnectionString().c_str())) return false;
    for (auto sql : {kCreateDriverFamilies, kCreateDriverModels, kCreateScripts, kCreateOutput}) {
        if (!connection.Execute(sql, 1)) return false;
    }
    return true;
}

}  // namespace vb::test
