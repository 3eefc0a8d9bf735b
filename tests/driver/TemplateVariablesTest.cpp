#include <cstring>
#include <memory>

#include "CIDriver.h"
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

// Holds the IVariable a member returned and reads it the way a script does.
class VariableView {
public:
    explicit VariableView(Variant value) : value_(std::move(value)) {}
    bool IsObject() const { return value_.Type() == VT_DISPATCH && V_DISPATCH(value_.Get()); }
    DispatchClient Client() const { return DispatchClient(V_DISPATCH(value_.Get())); }
    std::wstring Text(const wchar_t* name) const {
        Variant result = Client().Get(name);
        return result.Type() == VT_BSTR ? V_BSTR(result.Get()) : L"<not a text>";
    }
    long Long(const wchar_t* name) const {
        Variant result = Client().Get(name);
        return SUCCEEDED(::VariantChangeType(result.Get(), result.Get(), 0, VT_I4)) ? V_I4(result.Get()) : -999;
    }
    HRESULT Put(const wchar_t* name, const Variant& value) const { return Client().Put(name, value); }
    void Update() const { Client().Call(L"Update"); }

private:
    Variant value_;
};

class TemplateVariablesTest : public OpenDeviceFixture {
protected:
    void SetUp() override {
        Open(L"FAM03.PRN", L"Model 300");
        wrapper_.SetClock([] {
            SYSTEMTIME moment{};
            moment.wYear = 2024;
            moment.wMonth = 3;
            moment.wDay = 3;
            moment.wHour = 14;
            moment.wMinute = 5;
            return moment;
        });
    }
    VariableView Add(const wchar_t* name, const wchar_t* value, Variant type = Variant::Missing()) {
        return VariableView(driver_.Call(L"AddVariable", {Str(name), Str(value), type}));
    }
    VariableView Find(Variant item) { return VariableView(driver_.Call(L"GetVariable", {item})); }
};

TEST_F(TemplateVariablesTest, ACounterKeepsItsNameAndGetsItsDefaults) {
    VariableView serial = Add(L" Serial ", L"1", Variant(1L));
    ASSERT_TRUE(serial.IsObject());
    EXPECT_EQ(L" Serial ", serial.Text(L"Name"));
    EXPECT_EQ(L"{{ Serial }}", serial.Text(L"KeyName"));
    EXPECT_EQ(-1, serial.Long(L"Counter"));

    // The first definition wins; the map is not changed.
    VariableView again = Add(L"SERIAL", L"500", Variant(0L));
    EXPECT_EQ(1, again.Long(L"Type"));
    EXPECT_EQ(L"1", again.Text(L"Value"));
    EXPECT_EQ(1u, wrapper_.Variables().size());
}

TEST_F(TemplateVariablesTest, UpdateCountsAndWritesBack) {
    VariableView serial = Add(L" Serial ", L"1", Variant(1L));
    EXPECT_EQ(S_OK, serial.Put(L"Prefix", Str(L"N")));
    // A snapshot: the map does not see the change before Update.
    EXPECT_EQ(L"", Find(Str(L"serial")).Text(L"Prefix"));
    serial.Update();
    EXPECT_EQ(L"   2", Find(Str(L"SERIAL")).Text(L"Value"));
    EXPECT_EQ(L"N", Find(Str(L"serial")).Text(L"Prefix"));

    // A suffix widens the field but not the number, and the padded value counts on.
    serial.Put(L"Suffix", Str(L"x"));
    serial.Update();
    const _tagvarinfo& record = wrapper_.Variables().at(L"serial");
    EXPECT_EQ("   3", varinfo::FieldText(record.Value));
    EXPECT_EQ("N", varinfo::FieldText(record.Prefix));
    EXPECT_EQ("x", varinfo::FieldText(record.Suffix));
    EXPECT_EQ(6u, record.MaxLength);
}

// Any variable but a date may count; switched off, it loses its counter block.
TEST_F(TemplateVariablesTest, CountingSwitchedOnAndOff) {
    VariableView copies = Add(L"Copies", L"7", Variant(0L));
    copies.Put(L"Counter", Variant::Bool(true));
    copies.Update();
    EXPECT_EQ("   8", varinfo::FieldText(wrapper_.Variables().at(L"copies").Value));
    copies.Put(L"Counter", Variant::Bool(false));
    copies.Update();
    const _tagvarinfo& record = wrapper_.Variables().at(L"copies");
    EXPECT_FALSE(record.Counter);
    EXPECT_EQ("", varinfo::FieldText(record.Increment));
    EXPECT_EQ("   8", varinfo::FieldText(record.Value));
}

TEST_F(TemplateVariablesTest, DatesRenderWithTheClock) {
    EXPECT_EQ(2, Long(driver_.Get(L"DateTimeCounts")));
    EXPECT_EQ(L"dd/mm/yyyy hh:nn/ss", Text(driver_.Call(L"GetDateTime", {Variant(1L)})));
    EXPECT_EQ(L"", Text(driver_.Call(L"GetDateTime", {Variant(2L)})));

    VariableView date = Add(L"Printed", L"", Variant(2L));
    EXPECT_EQ(L"d/mm/yyyy hh:nn/ss", date.Text(L"Format"));
    date.Put(L"Format", Str(L"dd.mm.yyyy hh:nn"));
    date.Update();
    EXPECT_EQ(L"03.03.2024 14:05", Find(Str(L"printed")).Text(L"Value"));
    EXPECT_EQ(2, date.Long(L"DateTimeCounts"));
    EXPECT_EQ(L"dd/mm/yyyy hh:nn/ss", Text(date.Client().Call(L"GetDateTime", {Variant(1L)})));

    // A printer date is a date too: it never counts, and a shorter format shortens its field.
    VariableView shipped = Add(L"Shipped", L"", Variant(64L));
    shipped.Put(L"Counter", Variant::Bool(true));
    shipped.Put(L"Format", Str(L"yy"));
    shipped.Update();
    const _tagvarinfo& record = wrapper_.Variables().at(L"shipped");
    EXPECT_EQ("24", varinfo::FieldText(record.Value));
    EXPECT_FALSE(record.Counter);
    EXPECT_EQ(2u, record.MaxLength);
}

TEST_F(TemplateVariablesTest, FoundByNameOrPosition) {
    Add(L"beta", L"2", Variant(0L));
    Add(L"alpha", L"1", Variant(0L));
    Add(L"gamma", L"3", Variant(0L));
    EXPECT_EQ(L"alpha", Find(Variant(0L)).Text(L"Name"));
    EXPECT_EQ(L"gamma", Find(Str(L"2")).Text(L"Name"));
    EXPECT_EQ(L"", Find(Variant(5L)).Text(L"Name"));
    EXPECT_EQ(L"", Find(Str(L"delta")).Text(L"Name"));
    EXPECT_EQ(L"gamma", Find(Str(L" Gamma ")).Text(L"Name"));
    // A blank name defines nothing, and an empty variable's Update stores nothing.
    EXPECT_EQ(L"", Add(L"  ", L"x", Variant(0L)).Text(L"Name"));
    Find(Str(L"delta")).Update();
    EXPECT_EQ(3u, wrapper_.Variables().size());
    EXPECT_FALSE(Find(Str(L"")).IsObject());
    EXPECT_FALSE(Find(Variant::Missing()).IsObject());
}

TEST_F(TemplateVariablesTest, ImportsAndFixedTexts) {
    VariableView imported = Add(L"Lot", L"A-17");
    EXPECT_EQ(4, imported.Long(L"Type"));
    EXPECT_EQ("A-17", varinfo::FieldText(wrapper_.Variables().at(L"lot").ImportValue));
    imported.Update();
    EXPECT_EQ(1023u, wrapper_.Variables().at(L"lot").MaxLength);
    VariableView fixed = Add(L"Title", L"Label", Str(L"not a number"));
    EXPECT_EQ(4, fixed.Long(L"Type"));
    // A formula's length is the driver's business.
    Add(L"Total", L"", Variant(32L));
    EXPECT_EQ(0u, wrapper_.Variables().at(L"total").MaxLength);
}

TEST_F(TemplateVariablesTest, ReadOnlyMembersAndPlaceholdersRefuse) {
    VariableView serial = Add(L"Serial", L"1", Variant(1L));
    EXPECT_EQ(DISP_E_EXCEPTION, serial.Put(L"KeyName", Str(L"other")));
    EXPECT_EQ(DISP_E_EXCEPTION, serial.Put(L"12", Variant(1L)));
    // A shorter value leaves nothing of the longer one behind.
    serial.Put(L"Value", Str(L"123456"));
    serial.Put(L"Value", Str(L"7"));
    EXPECT_EQ(L"7", serial.Text(L"Value"));
    // Kept as given, even below what the texts need.
    serial.Put(L"MaxLength", Variant(2L));
    EXPECT_EQ(2, serial.Long(L"MaxLength"));
}

TEST_F(TemplateVariablesTest, ANewDeviceForgetsTheVariables) {
    Add(L"Serial", L"1", Variant(1L));
    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300", nullptr));
    EXPECT_TRUE(wrapper_.Variables().empty());
    EXPECT_EQ(L"", Find(Str(L"serial")).Text(L"Name"));
}

TEST_F(TemplateVariablesTest, TheCallbackObjectGivesVariablesByNameAndOneFormat) {
    Add(L" Serial ", L"1", Variant(1L));
    auto* callback = new CIDriver(&wrapper_);
    DispatchClient client(callback->AsDispatch());
    auto record = std::make_unique<_tagvarinfo>();
    const long address = static_cast<long>(reinterpret_cast<UINT_PTR>(record.get()));
    Variant found = client.Call(L"GetVarInfo", {Str(L"SERIAL"), Variant(address)});
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(found.Get()));
    EXPECT_EQ(" Serial ", varinfo::FieldText(record->Name));
    EXPECT_EQ(1, record->Type);

    std::memset(record.get(), 0x55, sizeof *record);
    Variant missing = client.Call(L"GetVarInfo", {Str(L"Lot"), Variant(address)});
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(missing.Get()));
    EXPECT_EQ("Lot", varinfo::FieldText(record->Name));
    EXPECT_EQ(0, record->Type);
    EXPECT_EQ(0, record->CounterMax[1023]);

    Variant nowhere = client.Call(L"GetVarInfo", {Str(L"serial"), Variant(0L)});
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(nowhere.Get()));

    // Names and values outside ASCII travel in UTF-8 both ways.
    Add(L"Gr\u00F6\u00DFe", L"\u00E9", Variant(0L));
    Variant wide = client.Call(L"GetVarInfo", {Str(L"Gr\u00F6\u00DFe"), Variant(address)});
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(wide.Get()));
    EXPECT_EQ("\xC3\xA9", varinfo::FieldText(record->Value));

    // The driver calls back by dispid, through the object it was handed when the device opened.
    EXPECT_EQ(1, Long(driver_.Call(L"Escape", {Variant(0x7001L), Variant(0L), Str(L"serial")})));
    EXPECT_TRUE(Logged("variable serial: found type=1 value=1"));

    // One format object, which outlives its callback object; without a devmode (the device
    // released while the driver still holds it) its sizes read 0.
    Variant first = client.Call(L"GetFormat");
    ASSERT_EQ(VT_DISPATCH, first.Type());
    EXPECT_EQ(V_DISPATCH(first.Get()), V_DISPATCH(client.Call(L"GetFormat").Get()));
    callback->Release();
    wrapper_.ReleaseDriver();
    EXPECT_EQ(0, Long(DispatchClient(V_DISPATCH(first.Get())).Get(L"LabelWidth")));
}

}  // namespace
