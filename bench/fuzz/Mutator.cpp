#include "Mutator.h"

#include <algorithm>
#include <utility>

namespace vb::fuzz {

namespace {

// Boundaries where length and count checks tend to go wrong, as little-endian bytes.
const uint64_t kInteresting[] = {0,          1,          2,          0x0F,       0x10,       0x7F,
                                 0x80,       0xFE,       0xFF,       0x100,      0x7FFF,     0x8000,
                                 0xFFFE,     0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000, 0xFFFFFFFE,
                                 0xFFFFFFFF, ~0ull >> 1, ~0ull - 1,  ~0ull};

}  // namespace

uint64_t Random::Next() noexcept {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Mutator::Mutator(uint64_t seed, std::vector<std::string> corpus, std::vector<std::string> dictionary, size_t maxSize)
    : random_(seed), corpus_(std::move(corpus)), dictionary_(std::move(dictionary)), maxSize_(maxSize) {
    if (corpus_.empty()) corpus_.emplace_back();
}

std::string Mutator::Next() {
    std::string data;
    if (random_.OneIn(32)) {
        data.resize(random_.Below(std::min<size_t>(maxSize_, 512) + 1));
        for (char& c : data) c = static_cast<char>(random_.Next());
        return data;
    }
    data = corpus_[random_.Below(corpus_.size())];
    // A corpus entry as it stands now and then: the valid inputs must keep passing.
    if (random_.OneIn(64)) return data;
    for (size_t count = 1 + random_.Below(random_.OneIn(4) ? 16 : 4); count > 0; --count) MutateOnce(data);
    if (data.size() > maxSize_) data.resize(maxSize_);
    return data;
}

void Mutator::InsertBytes(std::string& data, size_t at, const std::string& bytes) {
    if (data.size() + bytes.size() > maxSize_) return;
    data.insert(std::min(at, data.size()), bytes);
}

void Mutator::MutateOnce(std::string& data) {
    const size_t size = data.size();
    const size_t at = random_.Below(size + 1);
    switch (random_.Below(12)) {
    case 0:  // flip a bit
        if (size) data[at % size] = static_cast<char>(data[at % size] ^ (1 << random_.Below(8)));
        break;
    case 1:  // set a byte
        if (size) data[at % size] = static_cast<char>(random_.Next());
        break;
    case 2: {  // overwrite with an interesting number of 1, 2, 4 or 8 bytes
        uint64_t value = kInteresting[random_.Below(std::size(kInteresting))];
        size_t width = size_t{1} << random_.Below(4);
        for (size_t i = 0; i < width && at + i < size; ++i) data[at + i] = static_cast<char>(value >> (8 * i));
        break;
    }
    case 3: {  // add or subtract a little
        if (!size) break;
        int delta = static_cast<int>(random_.Below(33)) - 16;
        data[at % size] = static_cast<char>(static_cast<unsigned char>(data[at % size]) + delta);
        break;
    }
    case 4: {  // insert random bytes
        std::string bytes(1 + random_.Below(16), '\0');
        for (char& c : bytes) c = static_cast<char>(random_.Next());
        InsertBytes(data, at, bytes);
        break;
    }
    case 5:  // delete a range
        if (size) data.erase(at % size, 1 + random_.Below(std::max<size_t>(size / 4, 1)));
        break;
    case 6: {  // copy a range elsewhere
        if (!size) break;
        size_t from = random_.Below(size);
        InsertBytes(data, at, data.substr(from, 1 + random_.Below(std::min<size_t>(size - from, 64))));
        break;
    }
    case 7: {  // repeat a short piece many times: deep nesting, long lines, long runs
        if (!size) break;
        size_t from = random_.Below(size);
        std::string piece = data.substr(from, 1 + random_.Below(std::min<size_t>(size - from, 8)));
        size_t times = 2 + random_.Below(random_.OneIn(8) ? maxSize_ / piece.size() : 64);
        std::string repeated;
        for (size_t i = 0; i < times && repeated.size() + piece.size() + size <= maxSize_; ++i) repeated += piece;
        InsertBytes(data, at, repeated);
        break;
    }
    case 8: {  // splice with another corpus entry
        const std::string& other = corpus_[random_.Below(corpus_.size())];
        size_t cut = random_.Below(other.size() + 1);
        data = data.substr(0, at) + other.substr(cut);
        break;
    }
    case 9:
    case 10: {  // a dictionary token, inserted or written over
        if (dictionary_.empty()) break;
        const std::string& token = dictionary_[random_.Below(dictionary_.size())];
        if (random_.OneIn(2)) {
            InsertBytes(data, at, token);
        } else {
            for (size_t i = 0; i < token.size() && at + i < size; ++i) data[at + i] = token[i];
        }
        break;
    }
    default:  // cut short
        if (size) data.resize(random_.Below(size));
        break;
    }
}

}  // namespace vb::fuzz
