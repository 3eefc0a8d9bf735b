#include "Utf8String.h"

#include <windows.h>

#include <cstring>

#include "Strings.h"

void CUTF8String::FromWide(const wchar_t* text) {
    data_.reset();
    length_ = 0;
    if (!text || !*text) return;
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return;
    char* buffer = Allocate(static_cast<size_t>(length - 1));
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, length, nullptr, nullptr);
}

char* CUTF8String::Allocate(size_t length) {
    data_ = std::make_unique<char[]>(length + 1);  // value-initialised: all zero
    length_ = length;
    return data_.get();
}

int CUTF8String::ToWide(wchar_t* buffer, int capacity) const {
    // The component may hand back fewer bytes than were allocated; the text ends at the first zero.
    std::wstring text = vb::FromUtf8(std::string_view(Get(), std::strlen(Get())));
    if (!buffer) return static_cast<int>(text.size());
    if (capacity < 1) return 0;
    size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
    // A cut between the two halves of a surrogate pair would leave half a character behind.
    if (count > 0 && count < text.size() && IS_HIGH_SURROGATE(text[count - 1])) --count;
    text.copy(buffer, count);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}
