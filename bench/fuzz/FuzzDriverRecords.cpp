// What a driver hands back to the wrapper: the devmode (read and written by family offsets), the
// variable records, and the font and barcode records that scripts see as objects. Every record
// is filled with arbitrary bytes, unterminated texts included, and every member of its script
// object is read, written and called.
//
// Input: a family number, a flags byte (bit 0: the records repeat the data rather than taking
// it once), then the data: the devmode as it stands, and the source of the records.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CICodeEx.h"
#include "CIFontEx.h"
#include "CIVariable.h"
#include "DateTimeFormats.h"
#include "DevmodeBuffer.h"
#include "DispatchClient.h"
#include "DriverWrapper.h"
#include "FamilyProperties.h"
#include "Harness.h"
#include "Mutator.h"
#include "VariableRules.h"

namespace vb::fuzz {

namespace {

constexpr int kFamilies = static_cast<int>(DriverFamily::Fam16) + 1;

// The record's bytes from the data: once and zeros behind, or repeated to fill it.
template <class Record>
void Fill(Record& record, std::string_view data, bool repeat, size_t skip = 0) {
    auto* bytes = reinterpret_cast<char*>(&record);
    std::memset(bytes, 0, sizeof record);
    if (data.empty()) return;
    for (size_t i = 0; i < sizeof record && (repeat || i + skip < data.size()); ++i) {
        bytes[i] = data[(i + skip) % data.size()];
    }
}

uint64_t Hash(std::string_view data) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : data) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

// Values a script could pass, picked by the input so that a replay does the same.
class Values {
public:
    explicit Values(std::string_view data) : data_(data), random_(Hash(data)) {}

    Variant Any() {
        switch (random_.Below(5)) {
        case 0: return Variant(static_cast<long>(random_.Next()));
        case 1: return Variant(static_cast<long>(random_.Below(4000)) - 100);
        case 2: return Variant::Bool(random_.OneIn(2));
        case 3: return Variant();
        default: return Variant(Text());
        }
    }

    std::wstring Text() {
        static const wchar_t* const kWords[] = {L"ASCII", L"PCX", L"BMP", L"1800", L"{{Name}}", L"", L"0x10"};
        if (random_.OneIn(2)) return kWords[random_.Below(std::size(kWords))];
        size_t start = random_.Below(data_.size() + 1);
        return WideFromFuzz(data_.substr(start, random_.Below(random_.OneIn(8) ? 3000 : 40)));
    }

    Random& Rng() { return random_; }

private:
    std::string_view data_;
    Random random_;
};

// Reads every property, writes every writable one and calls every method of an object.
template <class T>
void Exercise(T* object, Values& values) {
    test::DispatchClient client(object->AsDispatch());
    for (const auto& member : T::Members()) {
        Variant result;
        if (member.kind == MemberKind::Method) {
            client.Invoke(member.id, DISPATCH_METHOD, {values.Any(), values.Any()}, result);
            client.Invoke(member.id, DISPATCH_METHOD, {values.Any()}, result);
        } else {
            client.Invoke(member.id, DISPATCH_PROPERTYGET, {}, result);
            if (member.put) client.Invoke(member.id, DISPATCH_PROPERTYPUT, {values.Any()}, result);
        }
        // The framework answers E_UNEXPECTED only for a C++ exception that a member let out.
        FUZZ_CHECK(client.LastResult() != E_UNEXPECTED, "member " + ToUtf8(member.name) + " threw");
        if (result.Type() == VT_BSTR) {
            FUZZ_CHECK(::SysStringLen(V_BSTR(result.Get())) <= sizeof(_tagvarinfo), ToUtf8(member.name));
        }
    }
}

template <size_t N>
void CheckTerminated(const char (&field)[N], const char* name) {
    FUZZ_CHECK(varinfo::FieldLength(field) < N, std::string(name) + " is not terminated");
}

class DriverRecordsHarness : public Harness {
public:
    std::vector<std::string> Seeds() override {
        std::string devmode(1300, '\0');
        auto put = [&](size_t at, const std::string& bytes) { devmode.replace(at, bytes.size(), bytes); };
        put(DevmodeBuffer::kSize, std::string("\x9C\x00", 2));
        put(DevmodeBuffer::kLayoutMarker, std::string("\x40\x7E", 2));
        put(320, std::string("\xFF\x01", 2));
        put(556, "ASCII");
        put(888, "900");

        auto record = std::make_unique<_tagvarinfo>();
        record->Type = varinfo::kCounter;
        record->Counter = TRUE;
        record->MaxLength = 6;
        varinfo::Store(record->Name, "Counter");
        varinfo::Store(record->Value, "0007");
        varinfo::Store(record->Prefix, "N\xC3\xBC");
        varinfo::Store(record->Increment, "+3");
        varinfo::Store(record->Format, "dd/mm/yyyy hh:nn");
        record->CounterFill = '0';
        std::string variable(reinterpret_cast<const char*>(record.get()), sizeof *record);

        std::string fam11(22000, '\0');
        fam11.replace(21556, 2, "\x08\x00");
        return {std::string("\x01\x00", 2) + devmode, std::string("\x05\x01", 2) + devmode,
                std::string("\x00\x00", 2) + variable, std::string("\x0B\x00", 2) + fam11};
    }

    std::vector<std::string> Dictionary() override {
        return {std::string(1, '\0'), "{{", "}}", "%", "%n", "%s", "dddd", "mmmm", "yyyy", "hhhh", "\xC3\xBC",
                "\xE2\x82", std::string("\x40\x7E", 2), std::string("\xFF\x01", 2), "+", "-", "99999999999"};
    }

    size_t MaxSize() const override { return 24000; }

    void Run(std::string_view input) override {
        if (input.size() < 2) return;
        const auto family = static_cast<DriverFamily>(static_cast<unsigned char>(input[0]) % kFamilies);
        const bool repeat = input[1] & 1;
        const std::string_view data = input.substr(2);
        Values values(data);

        CheckDevmode(family, data, values);

        CDriverWrapper wrapper(nullptr);
        SYSTEMTIME now{};
        now.wYear = static_cast<WORD>(1601 + values.Rng().Below(8000));
        now.wMonth = static_cast<WORD>(1 + values.Rng().Below(12));
        now.wDayOfWeek = static_cast<WORD>(values.Rng().Below(7));
        now.wDay = static_cast<WORD>(1 + values.Rng().Below(28));
        now.wHour = static_cast<WORD>(values.Rng().Below(24));
        now.wMinute = static_cast<WORD>(values.Rng().Below(60));
        wrapper.SetClock([now] { return now; });

        auto record = std::make_unique<_tagvarinfo>();
        Fill(*record, data, repeat);
        CheckVariableRules(*record, now, values);
        wrapper.UpdateVariable(*record);
        for (const std::wstring& piece : wrapper.SplitVariables(values.Text() + L"{{" + values.Text() + L"}}", false)) {
            std::wstring text = piece;
            wrapper.SendVariableInfo(text);
        }
        WithObject(new CIVariable(&wrapper, *record), values);

        tagDEVICEFONT font;
        Fill(font, data, repeat, 3);
        WithObject(new CIFontEx(&wrapper, font), values);
        tagDEVICECODE code;
        Fill(code, data, repeat, 7);
        WithObject(new CICodeEx(&wrapper, code), values);
        WithObject(CICodeEx::FromDescription(&wrapper, code.description), values);

        test::DispatchClient driver(wrapper.AsDispatch());
        for (const wchar_t* name : {L"GetVariable", L"GetDateTime", L"GetProperty", L"GetPropertyValues"}) {
            driver.Call(name, {values.Any(), values.Any()});
            FUZZ_CHECK(driver.LastResult() != E_UNEXPECTED, ToUtf8(name) + " threw");
        }
    }

    std::string Stats() const override { return std::to_string(privateLayouts_) + " devmodes with the private layout"; }

private:
    template <class T>
    static void WithObject(T* object, Values& values) {
        Exercise(object, values);
        object->AsDispatch()->Release();
    }

    void CheckDevmode(DriverFamily family, std::string_view data, Values& values) {
        DevmodeBuffer devmode(std::vector<BYTE>(data.begin(), data.end()));
        const size_t size = devmode.Size();
        for (long id = -1; id <= 8; ++id) {
            Variant value = family_properties::Get(family, devmode, id);
            FUZZ_CHECK(value.Type() == VT_EMPTY || value.Type() == VT_I4 || value.Type() == VT_BSTR,
                       std::to_string(value.Type()));
            // The text fields are 32 bytes; one without its terminator is read whole.
            if (value.Type() == VT_BSTR) FUZZ_CHECK(::SysStringLen(V_BSTR(value.Get())) <= 32, "a text longer than its field");
            family_properties::Values(family, devmode, id, values.Text());
            family_properties::Set(family, devmode, id, *values.Any().Get());
            FUZZ_CHECK(devmode.Size() == size, "a property changed the devmode's size");
        }
        // Fields named by any offset and width, the largest included, stay inside the buffer.
        const size_t offset = values.Rng().OneIn(2) ? values.Rng().Below(size + 8) : static_cast<size_t>(values.Rng().Next());
        const size_t width = values.Rng().OneIn(2) ? values.Rng().Below(64) : static_cast<size_t>(values.Rng().Next());
        const bool fits = offset <= size && width <= size - offset;
        FUZZ_CHECK(devmode.Fits(offset, width) == fits, "Fits");
        FUZZ_CHECK(devmode.SetText(offset, width, "text") == (fits && width > 0), "SetText");
        FUZZ_CHECK(devmode.Set32(offset, 1) == devmode.Fits(offset, 4), "Set32");
        auto text = devmode.Text(offset, width);
        FUZZ_CHECK(!text || (fits && text->size() <= width), "Text");
        privateLayouts_ += devmode.HasPrivateLayout();
    }

    static void CheckVariableRules(const _tagvarinfo& source, const SYSTEMTIME& now, Values& values) {
        varinfo::KeyOfRecord(source);
        auto record = std::make_unique<_tagvarinfo>(source);
        const auto formats = BuildDateTimeFormats(static_cast<DWORD>(values.Rng().Next()),
                                                  static_cast<DWORD>(values.Rng().Next()));
        varinfo::ComputeMaxLength(*record);
        varinfo::SetDefaultsByType(*record, formats);
        varinfo::AdvanceCounter(*record);
        CheckTerminated(record->Value, "the counter's value");
        const std::string rendered = RenderDateTime(varinfo::FieldText(record->Format), now, sizeof record->Value - 1);
        FUZZ_CHECK(rendered.size() < sizeof record->Value, "a rendered date longer than its field");
        record->Counter = !record->Counter;
        varinfo::SetCounterDefaults(*record);
        varinfo::AdvanceCounter(*record);
        CheckTerminated(record->Value, "the counter's value");
        CheckTerminated(record->Increment, "the increment");
        varinfo::SetDateTimeDefaults(*record, formats);
        CheckTerminated(record->Format, "the format");
        const std::string text = ToUtf8(values.Text());
        varinfo::Store(record->Prefix, text);
        CheckTerminated(record->Prefix, "the prefix");
        FUZZ_CHECK(text.compare(0, varinfo::FieldLength(record->Prefix), record->Prefix) == 0, "a stored text changed");
    }

    size_t privateLayouts_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeDriverRecordsHarness() { return std::make_unique<DriverRecordsHarness>(); }

}  // namespace vb::fuzz
