// The program's pure readers built natively for clang's libFuzzer with AddressSanitizer and
// UndefinedBehaviorSanitizer, which see out-of-bounds reads and writes that a run under Wine
// cannot. The reader is chosen by VB_NATIVE_TARGET: sql, global-script, archive, preview-lines,
// driver-records. The checks are the Wine harnesses' own, where they do not need the system.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveReader.h"
#include "DateTimeFormats.h"
#include "DevmodeBuffer.h"
#include "FuzzText.h"
#include "GlobalScript.h"
#include "GlobalScriptReference.h"
#include "JetSql.h"
#include "PreviewLineSplitter.h"
#include "SqlQuoting.h"
#include "SqlTokenizer.h"
#include "Strings.h"
#include "VariableRules.h"

namespace {

using vb::fuzz::WideFromFuzz;

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
#define CHECK(condition) \
    if (!(condition)) Broken(#condition)

size_t StatementEnds(const std::string& sql) {
    size_t ends = 0;
    for (size_t at = sql.find(';'); at != std::string::npos; at = sql.find(';', at + 1)) {
        ends += sqlite3_complete(sql.substr(0, at + 1).c_str()) != 0;
    }
    return ends;
}

void Sql(std::string_view data) {
    std::wstring text = WideFromFuzz(data);
    for (auto& c : text) c = c ? c : L' ';
    std::wstring joined;
    for (const vb::SqlToken& token : vb::TokenizeSql(text)) joined += token.text;
    CHECK(joined == text);
    CHECK(StatementEnds(vb::ToUtf8(vb::TranslateJetSql(text))) <= StatementEnds(vb::ToUtf8(text)));
    if (text.find(L"\\r\\n") == std::wstring::npos) CHECK(vb::UnquoteFromSql(vb::QuoteForSql(text)) == text);
    const std::wstring statement =
        vb::TranslateJetSql(vb::FormatTemplate(L"SELECT '%s' & 'a' + '%s'", {vb::QuoteForSql(text), vb::QuoteForSql(text)}));
    CHECK(StatementEnds(vb::ToUtf8(statement) + ";") == 1);
}

void GlobalScript(std::string_view data) {
    const std::wstring text = WideFromFuzz(data);
    const wchar_t* position = text.c_str();
    int value = 0;
    const BOOL evaluated = EvaluateIntExpression(position, value, FALSE);
    const auto expected = vb::fuzz::reference::ReferenceEvaluate(text.c_str());
    CHECK(!evaluated == !expected);
    CHECK(!expected || value == *expected);
    std::wstring script;
    RewriteGlobalScript(text, script);
}

void Archive(std::string_view data) {
    auto strings = CArchiveReader::ReadStringLists(data);
    if (!strings) return;
    size_t characters = 0;
    for (const auto& text : *strings) characters += text.size();
    CHECK(strings->size() <= data.size() && characters <= data.size());
}

void PreviewLines(std::string_view data) {
    if (data.empty()) return;
    // The first byte sets the block size, the rest are the data.
    const size_t block = 1 + static_cast<unsigned char>(data[0]);
    const auto bytes = reinterpret_cast<const BYTE*>(data.data() + 1);
    const size_t size = data.size() - 1;
    std::vector<uint32_t> lines[2];
    int widths[2] = {0, 0};
    for (int wide = 0; wide < 2; ++wide) {
        vb::PreviewLineSplitter splitter(size, wide != 0);
        for (size_t at = 0; at < size; at += block) {
            splitter.Scan(bytes + at, std::min(block, size - at), at, lines[wide], widths[wide]);
        }
    }
    CHECK(lines[0] == lines[1] && widths[0] == widths[1]);
    CHECK(size == 0 || (!lines[0].empty() && lines[0].back() == size));
    for (size_t i = 0; i < lines[0].size(); ++i) {
        CHECK(lines[0][i] - (i ? lines[0][i - 1] : 0) <= vb::kPreviewMaxLineBytes);
    }
}

void DriverRecords(std::string_view data) {
    if (data.size() < 8) return;
    DevmodeBuffer devmode(std::vector<BYTE>(data.begin() + 8, data.end()));
    uint64_t offset;
    std::memcpy(&offset, data.data(), sizeof offset);
    const size_t width = static_cast<unsigned char>(data[1]);
    devmode.Set32(offset % (devmode.Size() + 8), 1);
    devmode.SetText(offset, width, "text");
    devmode.Text(offset % (devmode.Size() + 8), width);
    devmode.HasPrivateLayout();

    auto record = std::make_unique<_tagvarinfo>();
    auto* raw = reinterpret_cast<char*>(record.get());
    for (size_t i = 0; i < sizeof *record; ++i) raw[i] = data[i % data.size()];
    varinfo::KeyOfRecord(*record);
    varinfo::ReadUtf8(record->Value);
    DWORD words[2];
    std::memcpy(words, data.data(), sizeof words);
    const auto formats = BuildDateTimeFormats(words[0] & 0x3FFF, words[1] & 0x0FFF);
    varinfo::ComputeMaxLength(*record);
    varinfo::SetDefaultsByType(*record, formats);
    varinfo::AdvanceCounter(*record);
    SYSTEMTIME now{2024, 2, 4, 29, 23, 59, 58, 0};
    RenderDateTime(varinfo::FieldText(record->Format), now, sizeof record->Value - 1);
    record->Counter = !record->Counter;
    varinfo::SetCounterDefaults(*record);
    varinfo::AdvanceCounter(*record);
    varinfo::SetDateTimeDefaults(*record, formats);
    CHECK(varinfo::FieldLength(record->Value) < sizeof record->Value);
}

using Target = void (*)(std::string_view);
Target g_target = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const struct {
        const char* name;
        Target target;
    } targets[] = {{"sql", Sql},
                   {"global-script", GlobalScript},
                   {"archive", Archive},
                   {"preview-lines", PreviewLines},
                   {"driver-records", DriverRecords}};
    const char* wanted = std::getenv("VB_NATIVE_TARGET");
    for (const auto& entry : targets) {
        if (wanted && std::strcmp(wanted, entry.name) == 0) g_target = entry.target;
    }
    if (!g_target) {
        std::fprintf(stderr, "VB_NATIVE_TARGET must name one of: sql global-script archive preview-lines driver-records\n");
        std::exit(64);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_target(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
