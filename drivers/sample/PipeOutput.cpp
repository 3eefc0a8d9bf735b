#include "PipeOutput.h"

#include "CallLog.h"
#include "Strings.h"

namespace vb::sample {

bool PrintsToPipe() { return EqualsNoCase(ModuleFileName(), L"FAM05.PRN"); }

bool PipeOutput::Restart() {
    job_.clear();
    if (IsOpen()) return true;
    pipe_.Reset(::CreateFileW(kJobPipeName, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return IsOpen();
}

bool PipeOutput::Send() noexcept {
    if (!IsOpen()) return false;
    DWORD written = 0;
    const bool sent =
        ::WriteFile(pipe_.Get(), job_.data(), static_cast<DWORD>(job_.size()), &written, nullptr) && written == job_.size();
    Drop();
    return sent;
}

void PipeOutput::Drop() noexcept {
    pipe_.Reset();
    job_.clear();
}

}  // namespace vb::sample
