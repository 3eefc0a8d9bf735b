#pragma once
#include <windows.h>

#include <functional>
#include <optional>

namespace vb {

// The first offset at which two panes' bytes differ, found a bounded number of bytes at a time
// so that comparing large data never holds up the window. Bytes that only one side has count
// as differing.
class PreviewDiffSearch {
public:
    // Reads up to `size` bytes at `offset`; returns how many it read.
    using Reader = std::function<ULONG(ULONGLONG offset, BYTE* buffer, ULONG size)>;

    void Restart() noexcept {
        compared_ = 0;
        done_ = false;
        difference_.reset();
    }
    // Compares at most about `budget` more bytes; true once the answer is known.
    bool Step(const Reader& own, ULONGLONG ownLength, const Reader& other, ULONGLONG otherLength, ULONGLONG budget);

    bool Done() const noexcept { return done_; }
    // Once done: the first differing offset, none when both sides are equal.
    const std::optional<ULONGLONG>& Difference() const noexcept { return difference_; }

private:
    ULONGLONG compared_ = 0;
    bool done_ = false;
    std::optional<ULONGLONG> difference_;
};

}  // namespace vb
