#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "PipeList.h"
#include "Resources.h"
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

    const std::wstring name_ = L"\\\\.\\pipe\\VbPipeListTest" + std::to_wstring(::GetCurrentProcessId());
    vb::test::TempFolder folder_;
    const std::wstring file_ = folder_ / L"print.txt";
    CPipeList pipes_;
};

// A client that leaves mid-job loses nothing it wrote.
TEST_F(PipeListTest, OneLargeWriteOrManySmallOnesAreAppendedWhole) {
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
    const std::string pieces = Pattern(5000);
    {
        vb::UniqueFile client = Connect();
        for (size_t at = 0; at < pieces.size(); at += 700) ASSERT_TRUE(Write(client, pieces.substr(at, 700)));
    }
    pipes_.Flush(file_);
    EXPECT_EQ("before\r\n" + job + pieces, ReadFileBytes(file_));
}

// Whatever a flush cannot put into a file (none named, or a missing folder) waits for the next
// flush that can, and each flush readies the pipe for the next client. Each flush comes right
// after the write, before the reader's next poll: disconnecting an undrained pipe would lose
// the bytes.
TEST_F(PipeListTest, DataStayUntilAFlushCanAppendThem) {
    ASSERT_NE(INVALID_HANDLE_VALUE, pipes_.Open(name_));
    EXPECT_TRUE(pipes_.Flush(file_));  // nothing sent: no file made
    EXPECT_FALSE(FileExists(file_));
    Send("kept\r\n");
    EXPECT_TRUE(pipes_.Flush(L""));
    Send("and\r\n");
    EXPECT_FALSE(pipes_.Flush(folder_ / L"missing\\print.txt"));
    Send("later\r\n");
    EXPECT_TRUE(pipes_.Flush(file_));
    EXPECT_EQ("kept\r\nand\r\nlater\r\n", ReadFileBytes(file_));
}

TEST_F(PipeListTest, ANameThatCannotBeAPipeIsReportedOnce) {
    vb::MessageBoxCapture boxes;
    EXPECT_EQ(INVALID_HANDLE_VALUE, pipes_.Open(folder_ / L"not a pipe"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    // The system's words alone: a tester has no use for the number.
    EXPECT_NE(L"", boxes.Boxes()[0].text);
    EXPECT_EQ(vb::SystemMessageText(ERROR_INVALID_NAME), boxes.Boxes()[0].text);
}

}  // namespace
