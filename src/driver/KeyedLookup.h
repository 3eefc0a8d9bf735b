#pragma once
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <optional>
#include <string>

#include "Strings.h"

// Fonts, barcode types and variables are named by scripts with a key (any case, surrounding
// blanks ignored) or, when no key matches and the text starts with a digit, by their position in
// the map's own order. Null when neither finds an entry.
template <class Map>
const typename Map::mapped_type* FindByKeyOrPosition(const Map& map, const std::optional<std::wstring>& item) {
    if (!item || item->empty()) return nullptr;
    std::wstring key = vb::ToLower(vb::Trim(*item));
    auto found = map.find(key);
    if (found != map.end()) return &found->second;
    if (key.empty() || !std::iswdigit(key[0])) return nullptr;
    long position = std::wcstol(key.c_str(), nullptr, 10);
    if (position < 0 || static_cast<size_t>(position) >= map.size()) return nullptr;
    return &std::next(map.begin(), position)->second;
}
