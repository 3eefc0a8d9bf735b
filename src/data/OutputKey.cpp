#include "OutputKey.h"

#include "SqlQuoting.h"
#include "Strings.h"
#include "UpperCase.h"

namespace {

std::wstring KeyText(LPCWSTR text) { return vb::QuoteForSql(vb::ToUpperAscii(vb::Trim(text))); }

}  // namespace

void COutputKey::SetSubItem(LPCWSTR text) { KEY_SUB = text && *text ? KeyText(text) : std::wstring(L"NOP"); }

void COutputKey::SetModel(LPCWSTR model) { NAME = model && *model ? KeyText(model) : std::wstring(); }

void COutputKey::SetSubItemFromFile(LPCWSTR subId, LPCWSTR path) {
    std::wstring text = subId ? subId : L"";
    if (path && *path) {
        std::wstring_view file(path);
        size_t slash = file.rfind(L'\\');
        text += L"::";
        text += slash == std::wstring_view::npos ? file : file.substr(slash + 1);
    }
    SetSubItem(text.c_str());
}
