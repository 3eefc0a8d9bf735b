#include "PipeList.h"

#include <algorithm>

#include "MessagePump.h"
#include "Resources.h"
#include "Strings.h"

namespace {

constexpr DWORD kPipeBufferSize = 1024;
constexpr DWORD kReadChunk = 2048;
constexpr SIZE_T kInitialHeapSize = 1024 * 1024;
constexpr DWORD kPollMs = 250;
constexpr DWORD kDrainPauseMs = 10;
constexpr DWORD kStopSliceMs = 10;

}  // namespace

CPipeList::CPipeList() = default;

CPipeList::~CPipeList() { CloseAll(); }

HANDLE CPipeList::Open(const std::wstring& name) {
    DWORD error = ERROR_SUCCESS;
    {
        vb::SectionGuard guard(lock_);
        HANDLE known = Find(name);
        if (known != INVALID_HANDLE_VALUE) return known;
        HANDLE created = Create(name, error);
        if (created != INVALID_HANDLE_VALUE) return created;
    }
    // Shown outside the lock, so the reader goes on serving the other pipes while the box is up.
    vb::ShowMessageBox(vb::SystemMessageText(error), MB_OK);
    return INVALID_HANDLE_VALUE;
}

HANDLE CPipeList::Find(const std::wstring& name) {
    vb::SectionGuard guard(lock_);
    for (const auto& entry : entries_) {
        if (vb::EqualsNoCase(entry->Name(), name)) return entry->Pipe();
    }
    return INVALID_HANDLE_VALUE;
}

bool CPipeList::Flush(const std::wstring& path) {
    vb::SectionGuard guard(lock_);
    return entries_.empty() || entries_.front()->Flush(path);
}

void CPipeList::CloseAll() {
    StopReader();
    vb::SectionGuard guard(lock_);
    entries_.clear();
    heap_.Reset();
}

bool CPipeList::IsEmpty() {
    vb::SectionGuard guard(lock_);
    return entries_.empty();
}

HANDLE CPipeList::Create(const std::wstring& name, DWORD& error) {
    SECURITY_ATTRIBUTES attributes{};
    SECURITY_ATTRIBUTES* security = OpenSecurity(attributes);
    if (!heap_) heap_.Reset(::HeapCreate(HEAP_NO_SERIALIZE, kInitialHeapSize, 0));
    if (!heap_) {
        error = ::GetLastError();
        return INVALID_HANDLE_VALUE;
    }
    vb::UniqueFile pipe(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX,
                                           PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_NOWAIT, 1, kPipeBufferSize,
                                           kPipeBufferSize, 0, security));
    if (!pipe) {
        error = ::GetLastError();
        return INVALID_HANDLE_VALUE;
    }
    // In no-wait mode this returns at once and leaves the pipe listening; a client that came
    // first makes it fail, connected all the same.
    ::ConnectNamedPipe(pipe.Get(), nullptr);
    // Without a reader a client's large write would block until the next flush, which comes only
    // after that write: no pipe rather than a hung driver.
    if (entries_.empty() && !StartReader(security)) {
        error = ::GetLastError();
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = pipe.Get();
    entries_.push_front(std::make_unique<CPipeEntry>(name, std::move(pipe), heap_.Get()));
    return handle;
}

SECURITY_ATTRIBUTES* CPipeList::OpenSecurity(SECURITY_ATTRIBUTES& attributes) {
    // A NULL DACL, unlike an empty one, lets every account connect.
    if (!::InitializeSecurityDescriptor(&security_, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&security_, TRUE, nullptr, FALSE))
        return nullptr;
    attributes = {sizeof attributes, &security_, TRUE};
    return &attributes;
}

bool CPipeList::StartReader(SECURITY_ATTRIBUTES* security) {
    stopEvent_.Reset(::CreateEventW(security, FALSE, FALSE, nullptr));
    if (!stopEvent_) return false;
    thread_.Reset(::CreateThread(security, 0, &CPipeList::ReaderMain, this, 0, &threadId_));
    if (thread_) return true;
    threadId_ = 0;
    stopEvent_.Reset();
    return false;
}

void CPipeList::StopReader() {
    if (!thread_) return;
    ::SetEvent(stopEvent_.Get());
    for (;;) {
        DWORD waited = ::WaitForSingleObjectEx(thread_.Get(), kStopSliceMs, TRUE);
        if (waited != WAIT_TIMEOUT && waited != WAIT_IO_COMPLETION) break;
        ::Sleep(0);
        vb::DispatchPendingMessages();
    }
    thread_.Reset();
    stopEvent_.Reset();
    threadId_ = 0;
}

DWORD WINAPI CPipeList::ReaderMain(void* list) {
    static_cast<CPipeList*>(list)->CollectUntilStopped();
    return 1;
}

void CPipeList::CollectUntilStopped() {
    do {
        vb::SectionGuard guard(lock_);
        for (const auto& entry : entries_) {
            entry->Collect([] {
                ::Sleep(0);
                vb::DispatchPendingMessages();
            });
        }
    } while (::WaitForSingleObject(stopEvent_.Get(), kPollMs) == WAIT_TIMEOUT);
}

CPipeList::CPipeEntry::CPipeEntry(std::wstring name, vb::UniqueFile pipe, HANDLE heap) noexcept
    : name_(std::move(name)), pipe_(std::move(pipe)), heap_(heap) {}

CPipeList::CPipeEntry::~CPipeEntry() { Close(); }

bool CPipeList::CPipeEntry::Flush(const std::wstring& path) {
    Drain();
    bool written = true;
    if (!path.empty() && length_ > 0) {
        written = AppendTo(path);
        if (written) FreeData();
    }
    ::DisconnectNamedPipe(pipe_.Get());
    ::ConnectNamedPipe(pipe_.Get(), nullptr);
    return written;
}

void CPipeList::CPipeEntry::Close() noexcept {
    if (pipe_) {
        // Drained first, as before every disconnect: a client in the middle of a write sees it
        // complete instead of failing.
        Drain();
        ::FlushFileBuffers(pipe_.Get());
        ::DisconnectNamedPipe(pipe_.Get());
        pipe_.Reset();
    }
    FreeData();
}

void CPipeList::CPipeEntry::Drain() {
    Collect([] { ::Sleep(kDrainPauseMs); });
}

bool CPipeList::CPipeEntry::ReadOnce() {
    if (!pipe_ || !Reserve(kReadChunk)) return false;
    DWORD read = 0;
    if (!::ReadFile(pipe_.Get(), data_ + length_, kReadChunk, &read, nullptr) || read == 0) return false;
    length_ += read;
    return true;
}

// Grows by doubling, so a large job is not copied once per chunk; when the heap cannot give that
// much, by just what is needed.
bool CPipeList::CPipeEntry::Reserve(DWORD extra) {
    if (capacity_ - length_ >= extra) return true;
    if (!heap_ || length_ > MAXDWORD - extra) return false;
    const DWORD needed = length_ + extra;
    const DWORD doubled = capacity_ <= MAXDWORD / 2 ? std::max(needed, capacity_ * 2) : needed;
    for (DWORD size : {doubled, needed}) {
        void* grown = data_ ? ::HeapReAlloc(heap_, 0, data_, size) : ::HeapAlloc(heap_, 0, size);
        if (grown) {
            data_ = static_cast<BYTE*>(grown);
            capacity_ = size;
            return true;
        }
    }
    return false;
}

bool CPipeList::CPipeEntry::AppendTo(const std::wstring& path) const {
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end{};
    if (!file || !::SetFilePointerEx(file.Get(), LARGE_INTEGER{}, &end, FILE_END)) return false;
    for (DWORD done = 0; done < length_;) {
        DWORD written = 0;
        if (!::WriteFile(file.Get(), data_ + done, length_ - done, &written, nullptr) || written == 0) {
            // The data stay for the next flush, which would append this part a second time.
            ::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file.Get());
            return false;
        }
        done += written;
    }
    return true;
}

void CPipeList::CPipeEntry::FreeData() noexcept {
    if (data_) ::HeapFree(heap_, 0, data_);
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}
