#include "BatchFixture.h"

#include <algorithm>
#include <regex>

#include "HookLibrary.h"
#include "RawDatabase.h"

namespace vb::test {

BatchFixture::BatchFixture() : buildFolder_(program_ / L"Build\\"), logPane_(ParentProc) {
    ::CreateDirectoryW(buildFolder_.c_str(), nullptr);
    ws_ = std::make_unique<CWorkSpace>(program_ / L"Vellbrook.exe");
    ws_->SetPrnFolder(buildFolder_);
    ws_->SetPrnFolderRef(reference_.Path(L""));
    ::SetWindowLongPtrW(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UseFamily(L"FAM01");
    scripts_ = {GlobalScript(), StoreScript(1, L"Shapes", kShapesScript), StoreScript(2, L"Text", kTextScript)};
}

LRESULT CALLBACK BatchFixture::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<BatchFixture*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_USER + 0x200:  // the progress message the main dialog listens for
            self->progress_.push_back(wParam ? L"model " + std::wstring(reinterpret_cast<const wchar_t*>(wParam))
                                             : L"script " + std::wstring(reinterpret_cast<const wchar_t*>(lParam)));
            if (self->onProgress_) self->onProgress_(self->progress_.back());
            return 0;
        case kLatchwireMessage:
            return self->ws_->OnHookNotify(wParam, lParam);
        case kPosted:
            if (self->onPosted_) self->onPosted_();
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void BatchFixture::UseFamily(const std::wstring& family, const std::wstring& build) {
    const std::wstring file = family + L".PRN";
    reference_.AddDriver(file, build);
    ::CopyFileW((BinDir() + build).c_str(), (buildFolder_ + file).c_str(), FALSE);
    ws_->SetDriverName(family + L" (Sample family)");
}

CScriptItem BatchFixture::StoreScript(int key, const std::wstring& name, const std::wstring& text) {
    CScriptItem item(key);
    item.NAME = name;
    item.DATA = text;
    ws_->SaveScript(item, 1);  // writes nothing when the stored text is the same already
    return item;
}

BOOL BatchFixture::Build(int mode, std::vector<CScriptItem>& scripts, const std::vector<std::wstring>& models,
                         BOOL test) {
    progress_.clear();
    ::SetWindowTextW(pane_, L"");
    const BOOL ran = ws_->RunBatch(mode, scripts, models, models.empty() ? L"" : models.front(), test, pane_);
    EXPECT_FALSE(ws_->Driver().IsLoaded());
    EXPECT_FALSE(ws_->ResultsDatabase().IsOpen());
    EXPECT_EQ(nullptr, ws_->LogWindow());
    return ran;
}

void BatchFixture::ExpectGoodBuild(const std::vector<std::wstring>& models, size_t rows, const char* after) {
    boxes_.Clear();
    EXPECT_TRUE(Build(1, scripts_, models)) << after;
    EXPECT_EQ(L"   End processing...\r\n", MaskedEnding(L"   End processing...\r\n")) << after;
    EXPECT_FALSE(Logged(L"# ERROR")) << after;
    EXPECT_EQ(rows, StoredRows(L"FAM01").size()) << after;
}

std::wstring BatchFixture::MaskedLog() const {
    std::wstring text = vb::ReplaceAll(Log(), program_.Path(), L"<program>\\");
    text = vb::ReplaceAll(text, reference_.Path(L""), L"<reference>\\");
    return std::regex_replace(text, std::wregex(L"\\d\\d:\\d\\d:\\d\\d   "), L"hh:mm:ss   ");
}

std::wstring BatchFixture::MaskedEnding(const std::wstring& expected) const {
    const std::wstring log = MaskedLog();
    return log.substr(log.size() - std::min(log.size(), expected.size()));
}

BatchFixture::Rows BatchFixture::StoredRows(const std::wstring& family) const {
    Rows rows;
    const auto raw = QueryRaw(ResultsFile(family), L"SELECT NAME, KEY, KEY_SUB, REF_DATA, CMP_DATA, SUCCESS FROM OUTPUT "
                                                   L"ORDER BY NAME, KEY, KEY_SUB");
    for (const auto& row : raw) {
        rows.push_back({vb::ToUtf8(row[0]), vb::ToUtf8(row[1]), vb::ToUtf8(row[2]), DecodedColumn(row[3]),
                        DecodedColumn(row[4]), vb::ToUtf8(row[5])});
    }
    return rows;
}

}  // namespace vb::test
