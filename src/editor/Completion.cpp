// Completion and call tips while a script is typed: the editor asks the running script host
// what an expression before the caret is, instead of analysing types itself.
#include "Completion.h"

#include "CaretExpression.h"
#include "MSScriptObject.h"
#include "ScintillaWnd.h"
#include "VariableExpansion.h"

void AppendListItem(std::wstring& list, const wchar_t* name, int imageType) {
    if (!list.empty()) list += L' ';
    list += name;
    list += L'?' + std::to_wstring(imageType);
}

std::wstring MemberListText(const std::vector<std::wstring>& methods, const std::vector<std::wstring>& properties) {
    std::wstring list;
    for (const std::wstring& name : methods) AppendListItem(list, name.c_str(), kMethodImage);
    for (const std::wstring& name : properties) AppendListItem(list, name.c_str(), kPropertyImage);
    return list;
}

std::wstring CallTipText(const std::vector<std::wstring>& parts) {
    if (parts.empty()) return {};
    std::wstring text = parts[0] + L"(";
    for (size_t i = 1; i < parts.size(); ++i) {
        if (i > 1) text += L", ";
        text += parts[i];
    }
    return text + L")";
}

void CScintillaWnd::OnChar(UINT ch, UINT, UINT) {
    if (!script_ || !Handle()) return;
    if (ch == L'\r' || ch == L')') {
        Call(SCI_CALLTIPCANCEL);
        return;
    }
    const bool callTip = ch == L'\t' || ch == L' ' || ch == L'(';
    if (!callTip && ch != L'.') return;

    // The caret stands just after the typed character.
    const sptr_t position = Call(SCI_GETCURRENTPOS);
    const int line = static_cast<int>(Call(SCI_LINEFROMPOSITION, static_cast<uptr_t>(position)));
    WCHAR text[kLineBufferSize];
    GetLineText(line, text);
    const sptr_t lineStart = Call(SCI_POSITIONFROMLINE, static_cast<uptr_t>(line));
    int column = static_cast<int>(Call(SCI_COUNTCODEUNITS, static_cast<uptr_t>(lineStart), position)) - 1;
    std::wstring expression = StripOuterParentheses(GetExpressionBeforeCaret(text, column));

    std::vector<std::wstring> parts;
    if (callTip) {
        const size_t dot = expression.rfind(L'.');
        if (dot != std::wstring::npos) {
            std::wstring object = expression.substr(0, dot);
            ExpandVariables(object, line);
            if (script_->GetMemberArgs(object.c_str(), expression.c_str() + dot + 1, parts)) ShowCallTip(position, parts);
        } else if (script_->GetProcedureArgs(expression.c_str(), parts)) {
            ShowCallTip(position, parts);
        }
        return;
    }
    ExpandVariables(expression, line);
    std::vector<std::wstring> properties;
    std::vector<std::wstring> methods;
    if (!script_->GetObjectMembers(expression.c_str(), properties, methods, nullptr)) return;
    CUTF8String list(MemberListText(methods, properties).c_str());
    Call(SCI_AUTOCSHOW, 0, reinterpret_cast<sptr_t>(list.Get()));
}

void CScintillaWnd::ExpandVariables(std::wstring& expression, int line) {
    expression = ExpandScriptVariables(expression, line, [this](int above) {
        WCHAR text[kLineBufferSize];
        GetLineText(above, text);
        return std::wstring(text);
    });
}

void CScintillaWnd::ShowCallTip(sptr_t position, const std::vector<std::wstring>& parts) {
    if (!Handle()) return;
    CUTF8String tip(CallTipText(parts).c_str());
    Call(SCI_CALLTIPSHOW, static_cast<uptr_t>(position), reinterpret_cast<sptr_t>(tip.Get()));
}
