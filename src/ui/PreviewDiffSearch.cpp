#include "PreviewDiffSearch.h"

#include <algorithm>
#include <vector>

namespace vb {

bool PreviewDiffSearch::Step(const Reader& own, ULONGLONG ownLength, const Reader& other, ULONGLONG otherLength,
                             ULONGLONG budget) {
    if (done_) return true;
    constexpr ULONG kBlock = 1 << 16;
    std::vector<BYTE> mine(kBlock), theirs(kBlock);
    ULONGLONG common = std::min(ownLength, otherLength);
    ULONGLONG stop = std::min(common, compared_ + budget);
    while (compared_ < stop) {
        auto size = static_cast<ULONG>(std::min<ULONGLONG>(kBlock, stop - compared_));
        ULONG gotMine = own(compared_, mine.data(), size);
        ULONG gotTheirs = other(compared_, theirs.data(), size);
        // A side that reads short differs where its bytes end.
        ULONG both = std::min(gotMine, gotTheirs);
        auto mismatch = std::mismatch(mine.begin(), mine.begin() + both, theirs.begin());
        auto equal = static_cast<ULONG>(mismatch.first - mine.begin());
        if (equal < size) {
            difference_ = compared_ + equal;
            done_ = true;
            return true;
        }
        compared_ += size;
    }
    if (compared_ < common) return false;
    if (ownLength != otherLength) difference_ = common;
    done_ = true;
    return true;
}

}  // namespace vb
