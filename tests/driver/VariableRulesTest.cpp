#include <gtest/gtest.h>

#include <memory>

#include "VariableRules.h"

namespace {

using namespace varinfo;

std::unique_ptr<_tagvarinfo> Record(WORD type, const char* value) {
    auto record = std::make_unique<_tagvarinfo>();
    record->Type = type;
    Store(record->Value, value);
    return record;
}

TEST(VariableDefaults, CounterGetsItsBlockAndLength) {
    auto record = Record(kCounter, "1");
    SetDefaultsByType(*record, {});
    EXPECT_TRUE(record->Counter);
    EXPECT_EQ(4u, record->MaxLength);
    EXPECT_EQ("9999", FieldText(record->CounterMax));
    EXPECT_EQ("+1", FieldText(record->Increment));
    EXPECT_EQ(' ', record->CounterFill);
    EXPECT_EQ('D', record->CounterBase);
    EXPECT_EQ("1", FieldText(record->CounterStep));
    EXPECT_EQ("0", FieldText(record->CounterStart));

    // Switching the counter off clears the whole counter block.
    record->Counter = FALSE;
    SetCounterDefaults(*record);
    const char* block = reinterpret_cast<const char*>(record.get()) + kCounterBlockOffset;
    EXPECT_TRUE(std::all_of(block, block + kCounterBlockSize, [](char c) { return c == 0; }));
    EXPECT_EQ(4u, record->MaxLength);
}

TEST(VariableDefaults, ByType) {
    auto imported = Record(kImport, "imported");
    SetDefaultsByType(*imported, {});
    EXPECT_EQ("imported", FieldText(imported->ImportValue));
    EXPECT_EQ(8u, imported->MaxLength);

    auto date = Record(kPrinterDate, "");
    SetDefaultsByType(*date, {L"dd/mm/yyyy", L"hh:nn/ss"});
    EXPECT_EQ("dd/mm/yyyy", FieldText(date->Format));
    EXPECT_EQ(10u, date->MaxLength);
}

TEST(ComputeMaxLength, OthersThanDatesNeverShrink) {
    auto text = Record(kFixed, "abc");
    text->MaxLength = 50;
    Store(text->Prefix, "<<");
    ComputeMaxLength(*text);
    EXPECT_EQ(50u, text->MaxLength);
    text->MaxLength = 1;
    ComputeMaxLength(*text);
    EXPECT_EQ(5u, text->MaxLength);
}

// Counting up with a prefix is shown through the script's variable objects.
TEST(AdvanceCounter, StepsDownAndPads) {
    auto down = Record(kCounter, "10");
    SetDefaultsByType(*down, {});
    Store(down->Increment, "-3");
    AdvanceCounter(*down);
    EXPECT_EQ("   7", FieldText(down->Value));
}

TEST(AdvanceCounter, HostileFieldsStayInsideTheRecord) {
    auto record = Record(kCounter, "99999999999999999999");
    SetDefaultsByType(*record, {});
    record->MaxLength = 0x7FFFFFFF;
    record->CounterFill = 's';  // would be a text conversion if it reached the format
    AdvanceCounter(*record);
    EXPECT_EQ(1023u, FieldLength(record->Value));
    EXPECT_EQ('\0', record->Prefix[0]);
}

TEST(StoreText, CutsAtACharacterBoundary) {
    char field[8];
    StoreText(field, sizeof field, "abcdef\xC3\xA9");  // "abcdefé": é would straddle the end
    EXPECT_EQ("abcdef", std::string(field));
    StoreText(field, sizeof field, "ab");
    EXPECT_EQ(0, field[3]);
}

}  // namespace
