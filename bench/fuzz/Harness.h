#pragma once
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzText.h"

namespace vb::fuzz {

// A broken invariant: the message says which and where.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const char* file, int line, const std::string& what);

#define FUZZ_CHECK(condition, what)                                                       \
    do {                                                                                  \
        if (!(condition)) ::vb::fuzz::Fail(__FILE__, __LINE__, std::string(#condition) + ": " + (what)); \
    } while (0)

// One reader of outside data under test.
class Harness {
public:
    virtual ~Harness() = default;

    // Once, before the first input: folders, files, connections.
    virtual void Setup() {}
    // Valid inputs made by the program's own writers; files of the corpus folder are added.
    virtual std::vector<std::string> Seeds() { return {}; }
    // A corpus file as the harness takes it (a placeholder filled in, for example).
    virtual std::string FromCorpusFile(std::string bytes) { return bytes; }
    virtual std::vector<std::string> Dictionary() { return {}; }
    virtual size_t MaxSize() const { return 4096; }
    // Seconds one input may take before it counts as a hang.
    virtual int TimeoutSeconds() const { return 10; }
    // Runs one input; throws Failure when an invariant does not hold.
    virtual void Run(std::string_view input) = 0;
    // How far the inputs got, to show that the mutated data still reach the reader's depths.
    virtual std::string Stats() const { return {}; }
};

struct HarnessEntry {
    const char* name;
    std::unique_ptr<Harness> (*make)();
};

std::unique_ptr<Harness> MakeDefinitionFileHarness();
std::unique_ptr<Harness> MakeBase64Harness();
std::unique_ptr<Harness> MakePrintFileListHarness();
std::unique_ptr<Harness> MakeSqlHarness();
std::unique_ptr<Harness> MakeGlobalScriptHarness();
std::unique_ptr<Harness> MakeDriverRecordsHarness();
std::unique_ptr<Harness> MakeResultPreviewHarness();

}  // namespace vb::fuzz
