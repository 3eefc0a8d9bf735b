// The main dialog's lists of families, models and scripts, filled from the device database.
#include "RedrawLock.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kSelectFamilies[] = L"SELECT [KEY] + ' (' + [NAME] + ')' AS [KEY_NAME] FROM [DRIVER_FAMILIES] ";
constexpr wchar_t kSelectModels[] = L"SELECT [NAME],[CATALOG] FROM [DRIVER_MODELS] WHERE [KEY] ='%s'";
constexpr wchar_t kSelectScripts[] = L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]";
constexpr wchar_t kScriptSelection[] = L"Scripts";

// The entry of the current name, selected and scrolled to the top. A list with more than one
// selection ignores LB_SETCURSEL: its entry is highlighted and given the caret instead.
void ShowEntry(vb::CheckListView list, int index) {
    if (index < 0) return;
    if (::GetWindowLongW(list.Handle(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
        ::SendMessageW(list.Handle(), LB_SETSEL, TRUE, index);
        ::SendMessageW(list.Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    } else {
        list.SetCurSel(index);
    }
    list.SetTopIndex(index);
}

}  // namespace

void CWorkSpace::LoadFamilyList(vb::ComboBoxView combo, LPCWSTR family) {
    if (!combo.IsWindow() || !deviceDb_.IsOpen() || !deviceDb_.Execute(kSelectFamilies, 0)) return;
    {
        vb::RedrawLock lock(combo.Handle());
        combo.ResetContent();
        const bool withData = deviceDb_.GetColumnCount() == 2;
        for (; deviceDb_.LastResult() == S_OK; deviceDb_.MoveNext()) {
            int index = combo.AddString(deviceDb_.GetString(1));
            if (withData && index >= 0) combo.SetItemData(index, deviceDb_.GetInt(2));
        }
    }
    deviceDb_.Close();
    if (!family || !*family) return;
    int index = combo.FindString(family);
    if (index < 0 && combo.HasDropDown()) index = combo.AddString(family);
    if (index >= 0) combo.SetCurSel(index);
}

std::wstring CWorkSpace::FamilyModelsQuery() const {
    // The key comes from the database and goes back into a statement: quoted like any text.
    return vb::FormatTemplate(kSelectModels, {vb::QuoteForSql(FamilyKey(driverName_))});
}

void CWorkSpace::LoadModelList(vb::CheckListView list, std::map<std::wstring, std::wstring>* catalogs) {
    const std::wstring saved = GetSavedSelection(FamilyKey(driverName_), TRUE);
    if (FillListBox(list, FamilyModelsQuery().c_str(), saved.c_str(), catalogs) == 0) return;
    if (!modelName_.empty()) ShowEntry(list, list.FindStringExact(modelName_));
}

int CWorkSpace::LoadScriptList(vb::CheckListView list) {
    int count = FillListBox(list, kSelectScripts, GetSavedSelection(kScriptSelection, FALSE).c_str(), nullptr);
    if (count == 0) return 0;
    int index = scriptName_.empty() ? LB_ERR : list.FindStringExact(scriptName_);
    // Else the global script, whose key is 0.
    for (int i = 0; index < 0 && i < list.GetCount(); ++i) {
        if (list.GetItemData(i) == 0) index = i;
    }
    ShowEntry(list, index);
    return count;
}

int CWorkSpace::FillListBox(vb::CheckListView list, LPCWSTR sql, LPCWSTR savedSelection,
                            std::map<std::wstring, std::wstring>* texts) {
    if (!list.IsWindow() || !sql || !*sql || !deviceDb_.IsOpen() || !deviceDb_.Execute(sql, 0)) return 0;
    const std::wstring saved = savedSelection ? savedSelection : L"";
    const bool twoColumns = deviceDb_.GetColumnCount() == 2;
    // The map describes the list: what it held for the previous fill does not belong to this one.
    if (texts) texts->clear();
    int count = 0;
    {
        vb::RedrawLock lock(list.Handle());
        list.ResetContent();
        for (; deviceDb_.LastResult() == S_OK; deviceDb_.MoveNext(), ++count) {
            const std::wstring text = deviceDb_.GetString(1);
            int index = list.AddString(text);
            if (index < 0) continue;
            list.SetCheck(index, saved.empty() || IsInSelectionList(text, saved));
            if (!twoColumns) continue;
            if (texts) {
                (*texts)[text] = vb::TextFromDatabase(deviceDb_.GetString(2));
            } else {
                list.SetItemData(index, deviceDb_.GetInt(2));
            }
        }
    }
    deviceDb_.Close();
    return count;
}
