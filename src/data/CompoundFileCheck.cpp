#include "CompoundFileCheck.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "UniqueHandle.h"

namespace {

// Sector numbers above this one are markers, not places in the file.
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;

constexpr DWORD kHeaderSize = 512;
constexpr size_t kHeaderFatSectors = 109;
constexpr BYTE kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Where the header keeps its fields.
constexpr size_t kMajorVersion = 0x1A;
constexpr size_t kByteOrder = 0x1C;
constexpr size_t kSectorShift = 0x1E;
constexpr size_t kMiniSectorShift = 0x20;
constexpr size_t kFatSectorCount = 0x2C;
constexpr size_t kFirstDirectorySector = 0x30;
constexpr size_t kMiniStreamCutoff = 0x38;
constexpr size_t kFirstMiniFatSector = 0x3C;
constexpr size_t kMiniFatSectorCount = 0x40;
constexpr size_t kFirstDifatSector = 0x44;
constexpr size_t kDifatSectorCount = 0x48;
constexpr size_t kHeaderDifat = 0x4C;

// Directory entries: 128 bytes each, the root first, linked as a tree by entry numbers.
constexpr DWORD kEntrySize = 128;
constexpr size_t kEntryType = 0x42;
constexpr size_t kLeftSibling = 0x44;
constexpr size_t kRightSibling = 0x48;
constexpr size_t kChild = 0x4C;
constexpr size_t kStreamSize = 0x78;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr BYTE kStorageEntry = 1;
constexpr BYTE kStreamEntry = 2;
constexpr BYTE kRootEntry = 5;

// Reads the parts of the file that say where everything else is. Each step answers false both
// for a broken file and for a read that failed; Unreadable() tells the two apart.
class CompoundFileLayout {
public:
    CompoundFileLayout(HANDLE file, ULONGLONG size) : file_(file), size_(size) {}

    bool IsWhole() {
        return ReadHeader() && ReadAllocationTable() && ChainIsWhole(Field32(kFirstDirectorySector)) &&
               MiniFatIsWhole() && DirectoryIsWhole();
    }
    bool Unreadable() const noexcept { return unreadable_; }

private:
    bool ReadAt(ULONGLONG offset, void* buffer, DWORD size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (::ReadFile(file_, buffer, size, &read, &at) && read == size) return true;
        unreadable_ = true;
        return false;
    }

    // The sector's content as sector numbers; the header takes up the place of sector -1.
    bool ReadSector(uint32_t sector, std::vector<uint32_t>& entries) {
        if (!InFile(sector)) return false;
        entries.resize(sectorSize_ / sizeof(uint32_t));
        return ReadAt((ULONGLONG{sector} + 1) * sectorSize_, entries.data(), sectorSize_);
    }

    bool InFile(uint32_t sector) const noexcept { return sector < sectorCount_; }

    uint16_t Field16(size_t offset) const noexcept {
        return static_cast<uint16_t>(header_[offset] | header_[offset + 1] << 8);
    }
    uint32_t Field32(size_t offset) const noexcept { return Field16(offset) | uint32_t{Field16(offset + 2)} << 16; }

    bool ReadHeader() {
        if (size_ < kHeaderSize || !ReadAt(0, header_.data(), kHeaderSize)) return false;
        if (std::memcmp(header_.data(), kSignature, sizeof(kSignature)) != 0) return false;
        const uint16_t major = Field16(kMajorVersion);
        const uint16_t shift = Field16(kSectorShift);
        const bool versionMatches = (major == 3 && shift == 9) || (major == 4 && shift == 12);
        if (Field16(kByteOrder) != 0xFFFE || !versionMatches || Field16(kMiniSectorShift) != 6 ||
            Field32(kMiniStreamCutoff) != 4096) {
            return false;
        }
        sectorSize_ = DWORD{1} << shift;
        // The header fills the first sector, and the rest is whole sectors: any other length
        // was cut inside one.
        if (size_ < sectorSize_ || size_ % sectorSize_ != 0) return false;
        sectorCount_ = std::min<ULONGLONG>(size_ / sectorSize_ - 1, ULONGLONG{kMaxRegularSector} + 1);
        return true;
    }

    // Where the sectors of the allocation table are: the header names the first 109, and
    // chained DIFAT sectors the rest, each ending with the link to the next.
    bool FindFatSectors(std::vector<uint32_t>& fatSectors) {
        const uint32_t fatCount = Field32(kFatSectorCount);
        if (fatCount == 0 || fatCount > sectorCount_) return false;
        for (size_t i = 0; i < std::min<size_t>(fatCount, kHeaderFatSectors); ++i) {
            fatSectors.push_back(Field32(kHeaderDifat + 4 * i));
        }
        uint32_t difat = Field32(kFirstDifatSector);
        const uint32_t difatCount = Field32(kDifatSectorCount);
        if (difatCount != 0 && !InFile(difat)) return false;
        std::vector<uint32_t> entries;
        // Each DIFAT sector adds over a hundred entries, so this ends long before fatCount.
        for (uint32_t read = 0; fatSectors.size() < fatCount; ++read) {
            if (read == difatCount || !ReadSector(difat, entries)) return false;
            size_t take = std::min<size_t>(entries.size() - 1, fatCount - fatSectors.size());
            fatSectors.insert(fatSectors.end(), entries.begin(), entries.begin() + take);
            difat = entries.back();
        }
        return true;
    }

    bool ReadAllocationTable() {
        std::vector<uint32_t> fatSectors;
        if (!FindFatSectors(fatSectors)) return false;
        std::vector<uint32_t> entries;
        for (uint32_t sector : fatSectors) {
            if (!ReadSector(sector, entries)) return false;
            fat_.insert(fat_.end(), entries.begin(), entries.end());
        }
        // A sector the table counts as used must be in the file, and so must every link.
        for (size_t i = 0; i < fat_.size(); ++i) {
            const uint32_t next = fat_[i];
            if (i >= sectorCount_ ? next != kFreeSector : next <= kMaxRegularSector && !InFile(next)) return false;
        }
        return true;
    }

    // Runs through sectors of the file to its end; a chain longer than the file loops.
    bool ChainIsWhole(uint32_t sector) const {
        for (ULONGLONG steps = 0; steps < sectorCount_ && InFile(sector) && sector < fat_.size(); ++steps) {
            sector = fat_[sector];
            if (sector == kEndOfChain) return true;
        }
        return false;
    }

    bool MiniFatIsWhole() const {
        const uint32_t first = Field32(kFirstMiniFatSector);
        return first == kEndOfChain ? Field32(kMiniFatSectorCount) == 0 : ChainIsWhole(first);
    }

    // The storage looks names up by walking the tree without checking where it goes, and its
    // working copy follows every link of every entry, a stream's child included: an entry
    // number past the directory, or a link back to an entry already met, makes it loop for
    // ever. Every entry the root reaches must be a stream or storage met once. And it sizes a
    // copy by what a stream declares: no stream, the root's mini stream included, may declare
    // more bytes than the whole file holds.
    bool DirectoryIsWhole() {
        std::vector<BYTE> directory;
        std::vector<uint32_t> sector;
        for (uint32_t at = Field32(kFirstDirectorySector); at != kEndOfChain; at = fat_[at]) {
            if (!ReadSector(at, sector)) return false;
            const auto* bytes = reinterpret_cast<const BYTE*>(sector.data());
            directory.insert(directory.end(), bytes, bytes + sectorSize_);
        }
        const size_t entries = directory.size() / kEntrySize;
        auto field = [&](size_t entry, size_t offset) {
            uint32_t value;
            std::memcpy(&value, directory.data() + entry * kEntrySize + offset, sizeof value);
            return value;
        };
        // Version 3 files keep only 32 bits of a size; the storage ignores the upper half.
        auto declaredSize = [&](size_t entry) {
            const ULONGLONG high = sectorSize_ == 512 ? 0 : field(entry, kStreamSize + 4);
            return high << 32 | field(entry, kStreamSize);
        };
        if (entries == 0) return false;
        std::vector<bool> met(entries, false);
        std::vector<uint32_t> pending{0};
        while (!pending.empty()) {
            const uint32_t entry = pending.back();
            pending.pop_back();
            if (entry == kNoEntry) continue;
            if (entry >= entries || met[entry]) return false;
            met[entry] = true;
            const BYTE type = directory[entry * kEntrySize + kEntryType];
            const bool known = entry == 0 ? type == kRootEntry : type == kStorageEntry || type == kStreamEntry;
            if (!known || (type != kStorageEntry && declaredSize(entry) > size_)) return false;
            pending.push_back(field(entry, kLeftSibling));
            pending.push_back(field(entry, kRightSibling));
            pending.push_back(field(entry, kChild));
        }
        return true;
    }

    HANDLE file_;
    ULONGLONG size_;
    std::array<BYTE, kHeaderSize> header_{};
    DWORD sectorSize_ = 0;
    ULONGLONG sectorCount_ = 0;
    std::vector<uint32_t> fat_;
    bool unreadable_ = false;
};

}  // namespace

bool IsBrokenCompoundFile(const std::wstring& path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    vb::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
    CompoundFileLayout layout(file.Get(), static_cast<ULONGLONG>(size.QuadPart));
    return !layout.IsWhole() && !layout.Unreadable();
}
