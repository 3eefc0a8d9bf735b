#pragma once
#include <string>
#include <vector>

// Image types of the completion list, as the editor registers them from the completion strip.
constexpr int kPropertyImage = 0;
constexpr int kMethodImage = 1;

// Adds "name?type" to a completion list whose items are separated by one blank.
void AppendListItem(std::wstring& list, const wchar_t* name, int imageType);
// Methods first, then properties; the control sorts the list itself.
std::wstring MemberListText(const std::vector<std::wstring>& methods, const std::vector<std::wstring>& properties);
// "name(first, second)" from the name and the arguments as the script facade lists them; no
// parts give an empty tip.
std::wstring CallTipText(const std::vector<std::wstring>& parts);
