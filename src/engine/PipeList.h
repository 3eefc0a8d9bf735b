#pragma once
#include <windows.h>

#include <list>
#include <memory>
#include <string>

#include "CriticalSection.h"
#include "UniqueHandle.h"

// The server side of the named pipes that some drivers print into. A reader thread collects what
// clients write; at the end of each print job the engine appends the collected bytes to the
// print file, so pipe output is captured like any other print output.
//
// Disconnecting a pipe throws away whatever the client wrote and the server has not read yet
// (https://learn.microsoft.com/windows/win32/api/namedpipeapi/nf-namedpipeapi-disconnectnamedpipe,
// and Wine does the same), so every disconnect here is preceded by draining the pipe.
class CPipeList {
public:
    class CPipeEntry;

    CPipeList();
    virtual ~CPipeList();
    CPipeList(const CPipeList&) = delete;
    CPipeList& operator=(const CPipeList&) = delete;

    // The open pipe of that name, else a new one listening for a client; INVALID_HANDLE_VALUE
    // (after a message box with the system's text) when the pipe cannot be created.
    HANDLE Open(const std::wstring& name);
    // The open pipe whose name matches without regard to case, else INVALID_HANDLE_VALUE.
    HANDLE Find(const std::wstring& name);

    // Appends what the most recently opened pipe collected to `path` and makes the pipe ready
    // for its next client. Without a path the data stay for the next flush. False only when
    // collected data could not be appended; they are kept then, and the file is left as it was.
    bool Flush(const std::wstring& path);

    // Stops the reader thread and closes every pipe; their uncollected data are dropped.
    void CloseAll();

    bool IsEmpty();
    // 0 while no reader thread runs.
    DWORD ReaderThreadId() const noexcept { return threadId_; }

private:

    struct HeapTraits {
        using Handle = HANDLE;
        static Handle Invalid() noexcept { return nullptr; }
        static void Close(Handle h) noexcept { ::HeapDestroy(h); }
    };

    // The new pipe's handle, or INVALID_HANDLE_VALUE with the system error in `error`.
    HANDLE Create(const std::wstring& name, DWORD& error);
    static DWORD WINAPI ReaderMain(void* list);
    void CollectUntilStopped();
    bool StartReader(SECURITY_ATTRIBUTES* security);
    void StopReader();
    // Security attributes that let every client connect; null when the DACL cannot be set.
    SECURITY_ATTRIBUTES* OpenSecurity(SECURITY_ATTRIBUTES& attributes);

    SECURITY_DESCRIPTOR security_{};
    DWORD threadId_ = 0;
    vb::UniqueKernelHandle thread_;
    vb::UniqueKernelHandle stopEvent_;
    // Every entry's data live here. It is not serialised by itself: only used under lock_.
    vb::UniqueHandle<HeapTraits> heap_;
    vb::CriticalSection lock_;
    // Newest first. Declared after the heap so the entries go before the heap they allocate in.
    std::list<std::unique_ptr<CPipeEntry>> entries_;
};

// One pipe and what was collected from it, in the list's private heap.
class CPipeList::CPipeEntry {
public:
    CPipeEntry(std::wstring name, vb::UniqueFile pipe, HANDLE heap) noexcept;
    ~CPipeEntry();
    CPipeEntry(const CPipeEntry&) = delete;
    CPipeEntry& operator=(const CPipeEntry&) = delete;

    const std::wstring& Name() const noexcept { return name_; }
    HANDLE Pipe() const noexcept { return pipe_.Get(); }
    DWORD Length() const noexcept { return length_; }

    // Reads until the pipe holds nothing more, calling pause() between reads that got bytes.
    template <class Pause>
    void Collect(Pause pause) {
        while (ReadOnce()) pause();
    }
    bool Flush(const std::wstring& path);
    // Drains and disconnects the pipe and closes it.
    void Close() noexcept;

private:
    // One read of at most one chunk straight into the buffer; false when nothing came, or when
    // the heap cannot grow (the bytes then stay in the pipe rather than being read and lost).
    bool ReadOnce();
    bool Reserve(DWORD extra);
    bool AppendTo(const std::wstring& path) const;
    void Drain();
    void FreeData() noexcept;

    std::wstring name_;
    vb::UniqueFile pipe_;
    HANDLE heap_;
    BYTE* data_ = nullptr;
    DWORD length_ = 0;
    DWORD capacity_ = 0;
};
