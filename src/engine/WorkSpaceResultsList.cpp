// The result viewer's list of stored items, and the two-column lookups it and the catalogue use.
#include "FillListFromRowset.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kScriptNames[] = L"SELECT [KEY],[NAME] FROM [SCRIPTS] ";
constexpr wchar_t kScriptNameFormat[] = L"%s (%s)";
// The key becomes text in the query so that the script names, looked up by text, apply.
constexpr wchar_t kFailedRows[] =
    L"SELECT [SUCCESS] AS [OK],[NAME] AS [Model],'' & [KEY] AS [Script],[KEY_SUB] AS [Sub item],[REF_USER], "
    L"[CMP_USER],[REF_DATE], [CMP_DATE],[REF_SYSTEM], [CMP_SYSTEM],[REF_DRV_VERSION], [CMP_DRV_VERSION],"
    L"[REF_DURATION], [CMP_DURATION],[REF_GDI_OBJ], [CMP_GDI_OBJ],[REF_USR_OBJ], [CMP_USR_OBJ],[REF_MEM_USAGE], "
    L"[CMP_MEM_USAGE] FROM [OUTPUT]  WHERE [SUCCESS]=0 ORDER BY [NAME], [KEY], [KEY_SUB]";
constexpr wchar_t kAllRows[] =
    L"SELECT [SUCCESS] AS [OK],[NAME] AS [Model],'' & [KEY] AS [Script],[KEY_SUB] AS [Sub item],[REF_USER], "
    L"[CMP_USER],[REF_DATE], [CMP_DATE],[REF_SYSTEM], [CMP_SYSTEM],[REF_DRV_VERSION], [CMP_DRV_VERSION],"
    L"[REF_DURATION], [CMP_DURATION],[REF_GDI_OBJ], [CMP_GDI_OBJ],[REF_USR_OBJ], [CMP_USR_OBJ],[REF_MEM_USAGE], "
    L"[CMP_MEM_USAGE] FROM [OUTPUT]  ORDER BY [NAME], [KEY], [KEY_SUB]";

}  // namespace

void CWorkSpace::LoadResultsList(HWND list, BOOL failedOnly) {
    // A missing file is not made here: there is nothing to list.
    if (!resultsDb_.Open(DatabaseConnectionString(ResultsDatabasePath()).c_str())) return;
    std::map<std::wstring, std::wstring> scriptNames;
    QueryTextColumns(scriptNames, kScriptNames, kScriptNameFormat);
    resultsDb_.SetColumnLookup(scriptNames);
    FillListFromRowset(resultsDb_, list, failedOnly ? kFailedRows : kAllRows);
}

void CWorkSpace::QueryTextColumns(std::map<std::wstring, std::wstring>& out, const std::wstring& sql,
                                  const std::wstring& format) {
    out.clear();
    if (sql.empty() || !deviceDb_.IsOpen() || !deviceDb_.Execute(sql.c_str(), 0)) return;
    if (deviceDb_.GetColumnCount() == 2) {
        for (; deviceDb_.LastResult() == S_OK; deviceDb_.MoveNext()) {
            std::wstring key = deviceDb_.GetString(1);
            std::wstring value = deviceDb_.GetString(2);
            out[key] = format.empty() ? value : vb::FormatTemplate(format, {value, key});
        }
    }
    deviceDb_.Close();
}
