#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "PipeList.h"
#include "Resources.h"
#include "Strings.h"
#include "TestFiles.h"
#include "UniqueHandle.h"

namespace {

using vb::test::FileExists;
using vb::test::ReadFileBytes;

// Bytes that show where a piece went missing or came twice.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + (i * 7 + i / 26) % 26);
    return bytes;
}

class PipeListTest : public ::testing::Test {
protected:
    // The client end, as a driver opens it.
    vb::UniqueFile Connect() const {
        return vb::UniqueFile(
            ::CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    static bool Write(const vb::UniqueFile& client, const std::string& bytes) {
        DWORD written = 0;
        return ::WriteFile(client.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    // One client that connects, writes `bytes` in one go and leaves.
    void Send(const std::string& bytes) const {
        vb::UniqueFile client = Connect();
        ASSERT_TRUE(client);
        EXPECT_TRUE(Write(client, bytes));
    }
    static bool ThreadRuns(DWORD id) {
        vb::UniqueKernelHandle thread(::OpenThread(SYNCHRONIZE, FALSE, id));
        return thread && ::WaitForSingleObject(thread.Get(), 0) == WAIT_TIMEOUT;
    }

    const std::wstring name_ = L"\\\\.\\pipe\\VbPipeListTest" + std::to_wstring(::GetCurrentProcessId());
    vb::test::TempFolder folder_;
    const std::wstring file_ = folder_ / L"print.txt";
    CPipeList pipes_;
};

TEST_F(PipeListTest, OneLargeWriteIsAppendedWhole) {
    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    ASSERT_TRUE(vb::test::WriteFileBytes(file_, "before\r\n"));
    const std::string job = Pattern(100 * 1024);
    // Far more than the pipe holds: the write ends only once the reader has taken most of it.
    auto sent = std::async(std::launch::async, [&] { Send(job); });
    if (sent.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        pipes_.CloseAll();  // fails the write, so the client can end
        FAIL() << "nobody read the pipe";
    }
    EXPECT_TRUE(pipes_.Flush(file_));
    EXPECT_EQ("before\r\n" + job, ReadFileBytes(file_));
}

// Whatever a flush cannot put into a file waits for the next flush that can, and each flush
// readies the pipe for the next client. Each flush comes right after the write, before the
// reader's next poll: disconnecting an undrained pipe would lose the bytes.
TEST_F(PipeListTest, DataStayUntilAFlushCanAppendThem) {
    const struct {
        const wchar_t* name;
        std::wstring path;
        bool result;
    } cases[] = {
        {L"no file", L"", true},
        {L"missing folder", folder_ / L"missing\\print.txt", false},
    };
    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    EXPECT_TRUE(pipes_.Flush(file_));  // nothing sent: no file made
    EXPECT_FALSE(FileExists(file_));
    for (const auto& test : cases) {
        SCOPED_TRACE(vb::ToUtf8(test.name));
        ::DeleteFileW(file_.c_str());
        Send("kept\r\n");
        EXPECT_EQ(test.result, pipes_.Flush(test.path));
        Send("later\r\n");
        EXPECT_TRUE(pipes_.Flush(file_));
        EXPECT_EQ("kept\r\nlater\r\n", ReadFileBytes(file_));
    }
}

TEST_F(PipeListTest, ANameInOtherLetterCaseIsTheSamePipe) {
    HANDLE pipe = pipes_.Open(name_);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    EXPECT_EQ(pipe, pipes_.Open(vb::ToLower(name_)));
    EXPECT_EQ(pipe, pipes_.Find(L"\\\\.\\PIPE\\VBPIPELISTTEST" + std::to_wstring(::GetCurrentProcessId())));
    EXPECT_EQ(INVALID_HANDLE_VALUE, pipes_.Find(name_ + L"x"));
}

TEST_F(PipeListTest, CloseAllEndsTheReaderAndAnOpenStartsANewOne) {
    pipes_.CloseAll();
    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    const DWORD first = pipes_.ReaderThreadId();
    EXPECT_TRUE(ThreadRuns(first));
    pipes_.CloseAll();
    pipes_.CloseAll();
    EXPECT_TRUE(pipes_.IsEmpty());
    EXPECT_EQ(0u, pipes_.ReaderThreadId());
    EXPECT_FALSE(ThreadRuns(first));

    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    EXPECT_TRUE(ThreadRuns(pipes_.ReaderThreadId()));
    Send("again\r\n");
    pipes_.Flush(file_);
    EXPECT_EQ("again\r\n", ReadFileBytes(file_));
}

TEST_F(PipeListTest, AClientThatLeavesMidJobLosesNothingItWrote) {
    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    const std::string written = Pattern(5000);
    {
        vb::UniqueFile client = Connect();
        for (size_t at = 0; at < written.size(); at += 700) ASSERT_TRUE(Write(client, written.substr(at, 700)));
    }
    pipes_.Flush(file_);
    EXPECT_EQ(written, ReadFileBytes(file_));
}

TEST_F(PipeListTest, ANameThatCannotBeAPipeIsReportedOnce) {
    vb::MessageBoxCapture boxes;
    EXPECT_EQ(INVALID_HANDLE_VALUE, pipes_.Open(folder_ / L"not a pipe"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(vb::FormatWin32Error(ERROR_INVALID_NAME), boxes.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.Boxes()[0].flags);
    EXPECT_TRUE(pipes_.IsEmpty());
}

}  // namespace
