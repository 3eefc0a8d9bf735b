#include "SqlQuoting.h"

#include "Strings.h"

namespace vb {

namespace {

constexpr std::wstring_view kLineBreak = L"\r\n";
constexpr std::wstring_view kEscapedLineBreak = L"\\r\\n";

}  // namespace

std::wstring QuoteForSql(std::wstring_view text) {
    return ReplaceAll(ReplaceAll(text, L"'", L"''"), kLineBreak, kEscapedLineBreak);
}

std::wstring UnquoteFromSql(std::wstring_view text) {
    return ReplaceAll(ReplaceAll(text, L"''", L"'"), kEscapedLineBreak, kLineBreak);
}

std::wstring TextFromDatabase(std::wstring_view text) { return ReplaceAll(text, kEscapedLineBreak, kLineBreak); }

}  // namespace vb
