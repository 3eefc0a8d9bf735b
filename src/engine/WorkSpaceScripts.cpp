// The test scripts of the device database: load, save, new and delete.
#include <algorithm>

#include "DbErrors.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kSelectScript[] = L"SELECT [NAME],[DATA] FROM [SCRIPTS] WHERE [KEY] = %u";
constexpr wchar_t kInsertScript[] = L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( %u, '%s', '%s' )";
constexpr wchar_t kUpdateScript[] = L"UPDATE [SCRIPTS]  SET [NAME] = '%s',[DATA] = '%s' WHERE [KEY] = %u";
constexpr wchar_t kDeleteScript[] = L"DELETE * FROM [SCRIPTS] WHERE [KEY] = %u";
constexpr wchar_t kNewScriptKey[] = L"SELECT MAX([KEY]) + 1 AS [NEW_ID] FROM [SCRIPTS] ";
constexpr wchar_t kNewScriptName[] = L"New script ID(%u)";
constexpr wchar_t kNewScriptText[] =
    L"Call BeginPrintJob()\r\n\r\n' TODO: Add your control notification handler code here\r\n\r\nCall EndPrintJob()";

// A text's one "%u" filled with the key as an unsigned number, then its "%s" in turn.
std::wstring FillWithKey(std::wstring_view pattern, int key, std::initializer_list<std::wstring_view> texts = {}) {
    return vb::FormatTemplate(vb::ReplaceAll(pattern, L"%u", std::to_wstring(static_cast<unsigned>(key))), texts);
}

}  // namespace

CWorkSpace::ScriptRow CWorkSpace::ReadScriptRow(CScriptItem& item) {
    if (!deviceDb_.IsOpen()) return ScriptRow::Failed;
    const std::wstring sql = FillWithKey(kSelectScript, item.KEY);
    HRESULT result = deviceDb_.OpenRowset(sql.c_str());
    if (!deviceDb_.HasRowset()) {
        vb::ShowSqlFailure(result, sql);
        return ScriptRow::Failed;
    }
    ScriptRow row = ScriptRow::Missing;
    if (deviceDb_.LastResult() == S_OK) {
        // The database already turned each doubled apostrophe of the statement back into one.
        item.NAME = vb::TextFromDatabase(deviceDb_.GetString(1));
        item.DATA = vb::TextFromDatabase(deviceDb_.GetString(2));
        row = ScriptRow::Found;
    }
    deviceDb_.Close();
    return row;
}

BOOL CWorkSpace::LoadScript(CScriptItem& item) { return ReadScriptRow(item) == ScriptRow::Found ? TRUE : FALSE; }

std::wstring CWorkSpace::ScriptWriteStatement(const CScriptItem& item, int update) {
    if (item.KEY == -1 || item.NAME.empty()) return {};
    CScriptItem stored(item.KEY);
    ScriptRow row = ReadScriptRow(stored);
    if (row == ScriptRow::Failed) return {};
    // Compared as plain texts on both sides: an apostrophe or a line break is no change.
    const bool changed = update == 1 && item != stored;
    if (row == ScriptRow::Found && !changed) return {};
    // The caller's record is never touched: a quoted copy goes into the statement.
    CScriptItem quoted = item;
    quoted.EscapeForSql();
    return FillWithKey(row == ScriptRow::Missing ? kInsertScript : kUpdateScript, item.KEY,
                       {quoted.NAME, quoted.DATA});
}

BOOL CWorkSpace::SaveScript(const CScriptItem& item, int update) {
    const std::wstring sql = ScriptWriteStatement(item, update);
    return !sql.empty() && deviceDb_.Execute(sql.c_str(), 1) ? TRUE : FALSE;
}

int CWorkSpace::NewScript(vb::CheckListView list, CScriptItem& item) {
    if (!deviceDb_.IsOpen()) return 0;
    HRESULT result = deviceDb_.OpenRowset(kNewScriptKey);
    if (!deviceDb_.HasRowset()) {
        vb::ShowSqlFailure(result, kNewScriptKey);
        return 0;
    }
    item.Empty();
    // The global row keeps the maximum at 0 or more; should it be gone, the first key is 1
    // still, never the global script's 0.
    item.KEY = std::max(deviceDb_.GetInt(1), 1L);
    deviceDb_.Close();
    item.NAME = FillWithKey(kNewScriptName, item.KEY);
    item.DATA = kNewScriptText;
    // A script that was not stored is no new script: the caller must not list it.
    if (!SaveScript(item, 0)) return 0;
    if (list.IsWindow()) {
        int index = list.AddString(item.NAME);
        if (index >= 0) {
            list.SetItemData(index, item.KEY);
            list.SetCurSel(index);
            list.SetCheck(index, true);
        }
    }
    return item.KEY;
}

BOOL CWorkSpace::DeleteScript(const CScriptItem& item) {
    if (item.KEY == -1 || item.KEY == 0 || item.NAME.empty() || !deviceDb_.IsOpen()) return FALSE;
    return deviceDb_.Execute(FillWithKey(kDeleteScript, item.KEY).c_str(), 1);
}
