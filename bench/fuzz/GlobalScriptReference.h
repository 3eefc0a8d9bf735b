#pragma once
// The global script's expression rules written once more, without recursion, for the fuzz
// harnesses to compare the evaluator with.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vb::fuzz::reference {

// Deeper nesting fails rather than use up the evaluator's stack.
constexpr size_t kMaxNesting = 256;

inline bool IsOperator(wchar_t c) { return c == L'+' || c == L'-' || c == L'*' || c == L'/'; }

inline bool Apply(wchar_t op, int32_t& value, int32_t term) {
    const uint32_t left = static_cast<uint32_t>(value), right = static_cast<uint32_t>(term);
    switch (op) {
    case L'+': value = static_cast<int32_t>(left + right); return true;
    case L'-': value = static_cast<int32_t>(left - right); return true;
    case L'*': value = static_cast<int32_t>(left * right); return true;
    default:
        if (term == 0) return false;
        value = term == -1 ? static_cast<int32_t>(0u - left) : value / term;
        return true;
    }
}

// Terms and operators strictly left to right, parentheses kept on an explicit stack.
inline std::optional<int32_t> ReferenceEvaluate(const wchar_t* p) {
    struct Frame {
        int32_t value = 0;
        wchar_t op = 0;
    };
    std::vector<Frame> frames(1);
    for (;;) {
        // A term: any number of '(' and then a number.
        while (*p == L' ') ++p;
        if (*p == L'(') {
            if (frames.size() > kMaxNesting) return std::nullopt;
            ++p;
            frames.emplace_back();
            continue;
        }
        if (*p < L'0' || *p > L'9') return std::nullopt;
        uint32_t number = 0;
        for (; *p >= L'0' && *p <= L'9'; ++p) number = number * 10u + static_cast<uint32_t>(*p - L'0');
        int32_t term = static_cast<int32_t>(number);
        // Then operators, or the end of one parenthesis after another.
        for (;;) {
            Frame& frame = frames.back();
            if (frame.op == 0) {
                frame.value = term;
            } else if (!Apply(frame.op, frame.value, term)) {
                return std::nullopt;
            }
            while (*p == L' ') ++p;
            if (IsOperator(*p)) {
                frame.op = *p++;
                break;
            }
            if (frames.size() == 1) return *p == L'\0' ? std::optional<int32_t>(frame.value) : std::nullopt;
            if (*p != L')') return std::nullopt;
            ++p;
            term = frame.value;
            frames.pop_back();
        }
    }
}

}  // namespace vb::fuzz::reference
