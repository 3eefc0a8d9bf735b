#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vb::fuzz {

// A small deterministic generator (splitmix64): the same seed gives the same inputs on every
// machine, so a finding can be replayed from its seed and number alone.
class Random {
public:
    explicit Random(uint64_t seed) noexcept : state_(seed) {}
    uint64_t Next() noexcept;
    // Uniform in [0, n); 0 when n is 0.
    size_t Below(size_t n) noexcept { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool OneIn(size_t n) noexcept { return Below(n) == 0; }

private:
    uint64_t state_;
};

// Makes inputs from a corpus of valid ones: a few stacked byte-level changes (bit flips, byte
// inserts and deletes, copies and long repeats of a piece, splices with another entry,
// interesting numbers, tokens of the harness's dictionary), and now and then plain random data.
class Mutator {
public:
    Mutator(uint64_t seed, std::vector<std::string> corpus, std::vector<std::string> dictionary, size_t maxSize);

    std::string Next();

private:
    void MutateOnce(std::string& data);
    void InsertBytes(std::string& data, size_t at, const std::string& bytes);

    Random random_;
    std::vector<std::string> corpus_;
    std::vector<std::string> dictionary_;
    size_t maxSize_;
};

}  // namespace vb::fuzz
