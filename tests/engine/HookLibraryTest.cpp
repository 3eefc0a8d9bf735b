// The hook library, bound by ordinal, watching the sample driver's page family loaded directly.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "HookLibrary.h"
#include "ImportTable.h"
#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "Window.h"

namespace {

// A hidden window that takes the hook library's notifications as the program's window does:
// it fetches each one's text at once and records it with the thread it came on.
class NotifyWindow : public vb::Window {
public:
    struct Notification {
        WPARAM code;
        DWORD thread;
        std::wstring text;
    };
    NotifyWindow() {
        Attach(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    }
    ~NotifyWindow() override { ::DestroyWindow(Handle()); }

    std::vector<Notification> received;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kLatchwireMessage) return Window::OnMessage(message, wParam, lParam);
        wchar_t text[kLatchwireTextSize];
        LatchwireLastText(text, kLatchwireTextSize);
        received.push_back({wParam, ::GetCurrentThreadId(), text});
        return 0;
    }
};

class HookLibraryTest : public ::testing::Test {
protected:
    ~HookLibraryTest() override { LatchwireStop(); }

    int Start(int mode = 0) { return LatchwireStart(window_.Handle(), L"", driverPath_.c_str(), mode); }
    DRIVERHANDLE StartDoc(const std::wstring& model, const std::wstring& output) {
        tagDRIVERINFO info{};
        DRIVERHANDLE h = driver_.D_EnableDriverW(0, &info, model.c_str(), L"FILE", 0);
        DOCINFOW document{static_cast<int>(sizeof(DOCINFOW)), L"Job", output.c_str(), nullptr, 0};
        EXPECT_EQ(1, driver_.D_StartDocW(h, &document));
        return h;
    }
    // What the driver itself would reach when it calls CreateFileW.
    decltype(&::CreateFileW) DriverCreateFile() const {
        return reinterpret_cast<decltype(&::CreateFileW)>(*latchwire::FindImport(driver_.Module(), "CreateFileW"));
    }

    vb::test::SampleDriverSandbox sandbox_;
    std::wstring driverPath_ = sandbox_.AddDriver(L"FAM09.PRN");
    vb::test::SampleDriverLibrary driver_{driverPath_};
    NotifyWindow window_;
};

bool SamePath(const std::wstring& a, const std::wstring& b) { return vb::EqualsNoCase(a, b); }

// Stop ends the watch and puts the driver's imports back; a freed driver ends it too, and the
// driver loaded again is watched afresh.
TEST_F(HookLibraryTest, StateAndImportsFollowStartStopAndTheDriversUnload) {
    EXPECT_LT(LatchwireStart(window_.Handle(), L"", sandbox_.Path(L"NOTLOADED.PRN").c_str(), 0), 0);
    EXPECT_LT(LatchwireState(0), 0);
    const auto real = DriverCreateFile();
    ASSERT_GT(Start(), 0);
    EXPECT_GE(LatchwireState(0), 0);
    EXPECT_NE(real, DriverCreateFile());
    EXPECT_GE(LatchwireStop(), 0);
    EXPECT_LT(LatchwireState(1), 0);
    EXPECT_EQ(real, DriverCreateFile());

    ASSERT_GT(Start(), 0);
    driver_.Unload();
    EXPECT_LT(LatchwireState(0), 0);
    vb::test::SampleDriverLibrary reloaded(driverPath_);
    EXPECT_LT(LatchwireState(0), 0);
    ASSERT_GT(Start(), 0);
    EXPECT_NE(real, *latchwire::FindImport(reloaded.Module(), "CreateFileW"));
}

// Only a file the driver creates or empties is announced, once and on the window's thread even
// from a thread of the driver's own: the message waits for the window to fetch the text.
TEST_F(HookLibraryTest, OnlyFilesCreatedOrEmptiedAreAnnouncedOnTheWindowThread) {
    const std::wstring existing = sandbox_.Path(L"existing.txt");
    ASSERT_TRUE(vb::test::WriteFileBytes(existing, "kept"));
    ASSERT_GE(Start(), 0);
    DWORD error = 0;
    auto open = [&, create = DriverCreateFile()](const std::wstring& path, DWORD access, DWORD disposition) {
        vb::UniqueFile file(create(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        error = ::GetLastError();
        return static_cast<bool>(file);
    };
    EXPECT_TRUE(open(existing, GENERIC_READ, OPEN_EXISTING));
    EXPECT_TRUE(open(existing, FILE_APPEND_DATA, OPEN_ALWAYS));
    EXPECT_TRUE(window_.received.empty());
    EXPECT_TRUE(open(existing, GENERIC_WRITE, CREATE_ALWAYS));
    // The caller still learns that the file was there before.
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), error);
    EXPECT_TRUE(open(sandbox_.Path(L"fresh.txt"), GENERIC_WRITE, CREATE_NEW));

    std::atomic<bool> done{false};
    std::thread printer([&] {
        open(sandbox_.Path(L"new.txt"), GENERIC_WRITE, OPEN_ALWAYS);
        done = true;
    });
    for (MSG message; !done; ::Sleep(1))
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    printer.join();
    ASSERT_EQ(3u, window_.received.size());
    EXPECT_PRED2(SamePath, sandbox_.Path(L"fresh.txt"), window_.received[1].text);
    EXPECT_EQ(kLatchwireFileCreated, window_.received[2].code);
    EXPECT_EQ(::GetCurrentThreadId(), window_.received[2].thread);
    EXPECT_PRED2(SamePath, sandbox_.Path(L"new.txt"), window_.received[2].text);
}

TEST_F(HookLibraryTest, OverLongPathIsCutToTheBuffer) {
    // Three folders of 200 letters: the print file's path is far longer than the 520 characters.
    std::wstring folder = sandbox_.Path(L"");
    std::vector<std::wstring> folders;
    for (int level = 0; level < 3; ++level) {
        folder += std::wstring(200, static_cast<wchar_t>(L'a' + level)) + L"\\";
        folders.push_back(L"\\\\?\\" + folder);
        ASSERT_TRUE(::CreateDirectoryW(folders.back().c_str(), nullptr));
    }
    const std::wstring printFile = folder + L"print.txt";
    ASSERT_GE(Start(), 0);
    driver_.D_EndDoc(StartDoc(L"LX", L"\\\\?\\" + printFile));
    ASSERT_EQ(1u, window_.received.size());
    EXPECT_PRED2(SamePath, printFile.substr(0, kLatchwireTextSize - 1), window_.received[0].text);

    std::wstring buffer(kLatchwireTextSize + 8, L'#');
    EXPECT_EQ(kLatchwireTextSize - 1, LatchwireLastText(buffer.data(), kLatchwireTextSize));
    EXPECT_EQ(L'\0', buffer[kLatchwireTextSize - 1]);
    EXPECT_EQ(std::wstring(8, L'#'), buffer.substr(kLatchwireTextSize));

    ::DeleteFileW((L"\\\\?\\" + printFile).c_str());
    for (auto level = folders.rbegin(); level != folders.rend(); ++level) ::RemoveDirectoryW(level->c_str());
}

}  // namespace
