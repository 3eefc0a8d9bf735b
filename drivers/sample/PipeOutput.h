#pragma once
// The family FAM05.PRN prints into the bench's named pipe instead of a file.
#include "UniqueHandle.h"

#include <string>
#include <string_view>

namespace vb::sample {

constexpr wchar_t kJobPipeName[] = L"\\\\.\\pipe\\DizEvoviDodu";

// Whether this library was loaded under the pipe family's file name (any case).
bool PrintsToPipe();

// One document's commands on their way to the bench. The pipe is opened when the document
// starts, so a bench that does not listen shows at once; the commands are held back and go in
// one write when the document ends, because the bench polls its pipes and every small write
// would wait for a poll.
class PipeOutput {
public:
    // Starts a new job. A job still open is dropped but keeps its connection: the bench frees its
    // one pipe instance for the next client only at the end of a job, so a new connection would
    // find it taken. False when no server listens, or its one instance is taken.
    bool Restart();
    bool IsOpen() const noexcept { return static_cast<bool>(pipe_); }
    void Append(std::string_view bytes) { job_ += bytes; }
    // Writes the whole job and closes the pipe; false when it did not all go through.
    bool Send() noexcept;
    // Closes the pipe without sending.
    void Drop() noexcept;

private:
    UniqueFile pipe_;
    std::string job_;
};

}  // namespace vb::sample
