#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/valuelib/BasicValue.h"

namespace vor::valuelib {
namespace {

std::shared_ptr<BasicValue> Unsigned32(double number) {
    BasicValue::Setup setup;
    setup.name = "word";
    setup.number = number;
    setup.lowerLimit = 0;
    setup.upperLimit = 4294967295.0;
    setup.writable = true;
    return BasicValue::Create(setup);
}

struct FieldCase {
    std::int32_t firstBit;
    std::int32_t width;
    double before;
    std::int32_t readBefore;
    std::int32_t written;
    double after;
};

class FieldBits : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldBits, ReadsAndWritesOnlyItsOwnBits) {
    const auto& c = GetParam();
    auto value = Unsigned32(c.before);
    value->AddField("f", c.firstBit, c.width, "");
    auto field = value->Fields().Item("f");
    EXPECT_EQ(field->Value(), c.readBefore);
    field->SetValue(c.written);
    EXPECT_EQ(value->Content().Number(), c.after);
    EXPECT_EQ(field->Value(), c.written);
}

INSTANTIATE_TEST_SUITE_P(Positions, FieldBits,
                         ::testing::Values(FieldCase{0, 1, 0xFE, 0, 1, 0xFF}, FieldCase{1, 4, 0x21, 0, 15, 0x3F},
                                           FieldCase{7, 3, 0x280, 5, 2, 0x100},
                                           FieldCase{28, 4, 0x0FFFFFFF, 0, 9, 0x9FFFFFFF},
                                           FieldCase{31, 1, 0x80000001, 1, 0, 1},
                                           FieldCase{16, 16, 0x1234ABCD, 0x1234, 0xFFFF, 0xFFFFABCD},
                                           FieldCase{0, 32, 5, 5, -1, 4294967295.0}));

TEST(BitField, SignedValuesKeepTheirSignThroughFields) {
    BasicValue::Setup setup;
    setup.number = -8;
    setup.writable = true;
    auto value = BasicValue::Create(setup);
    value->AddField("low", 0, 4, "");
    value->AddField("all", 0, 32, "");
    EXPECT_EQ(value->Fields().Item("low")->Value(), 8);
    EXPECT_EQ(value->Fields().Item("all")->Value(), -8);
    value->Fields().Item("low")->SetValue(15);
    EXPECT_EQ(value->Content().Number(), -1);
}

struct RefusedField {
    std::int32_t width;
    std::int32_t value;
};

class FieldWidthRefusal : public ::testing::TestWithParam<RefusedField> {};

TEST_P(FieldWidthRefusal, ValueThatDoesNotFitChangesNothing) {
    auto value = Unsigned32(0x55);
    value->AddField("f", 2, GetParam().width, "");
    auto field = value->Fields().Item("f");
    int events = 0;
    auto connection = value->Changed().Connect([&](double) { ++events; });
    auto view = field->UpdateView().Connect([&](FieldObject&) { ++events; });
    try {
        field->SetValue(GetParam().value);
        FAIL() << "accepted " << GetParam().value;
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::InvalidPropertyValue);
        EXPECT_NE(error.Description().find("does not fit"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(value->Content().Number(), 0x55);
    EXPECT_EQ(events, 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, FieldWidthRefusal,
                         ::testing::Values(RefusedField{1, 2}, RefusedField{4, 16}, RefusedField{4, -1},
                                           RefusedField{29, 1 << 29}));

struct Placement {
    std::int32_t firstBit;
    std::int32_t width;
};

class FieldPlacementRefusal : public ::testing::TestWithParam<Placement> {};

TEST_P(FieldPlacementRefusal, FieldOutsideThe32BitsIsRefused) {
    auto value = Unsigned32(0);
    EXPECT_THROW(value->AddField("f", GetParam().firstBit, GetParam().width, ""), Error);
    EXPECT_EQ(value->Fields().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Placements, FieldPlacementRefusal,
                         ::testing::Values(Placement{30, 4}, Placement{0, 33}, Placement{-1, 2}, Placement{0, 0},
                                           Placement{32, 1}));

TEST(BitField, NamesAndTexts) {
    auto value = Unsigned32(0);
    value->AddField("Motor Type", 0, 4, "type");
    EXPECT_THROW(value->AddField("Motor Type", 4, 4, ""), Error);
    auto field = value->Fields().Item("Motor Type");
    field->AddValueName(2, "Brushless rotary");
    EXPECT_THROW(field->AddValueName(2, "again"), Error);
    EXPECT_THROW(field->AddValueName(16, "too wide"), Error);
    EXPECT_EQ(field->ValueText(), "0");
    field->SetValue(2);
    EXPECT_EQ(field->ValueText(), "Brushless rotary");
    field->ValueNames().Item(2)->SetVisible(false);
    EXPECT_EQ(field->ValueText(), "Brushless rotary");  // hidden entries still name their value
    field->ValueNames().RemoveAll();
    EXPECT_EQ(field->ValueText(), "2");
    // Short names are kept in the entry itself, longer ones apart: both come back whole.
    for (const std::size_t length : {0u, 48u, 49u, 300u}) {
        const std::string name(length, 'n');
        field->ValueNames().RemoveAll();
        field->AddValueName(2, name);
        EXPECT_EQ(field->ValueText(), name);
        EXPECT_EQ(field->ValueNames().Item(2)->Name(), name);
    }
}

// Entries are made in blocks: one handed out early neither moves nor dies while more are added,
// a refused one leaves no trace, and any outlives its value.
TEST(BitField, EntriesStayPutAndOutliveTheirValue) {
    auto value = Unsigned32(0);
    value->AddField("Code", 0, 8, "");
    auto field = value->Fields().Item("Code");
    field->AddValueName(0, "first");
    const auto first = field->ValueNames().Item(0);
    for (std::int32_t code = 1; code < 40; ++code) {
        field->AddValueName(code, "name " + std::to_string(code));
        EXPECT_THROW(field->AddValueName(code, "again"), Error);
    }
    EXPECT_EQ(field->ValueNames().Count(), 40);
    EXPECT_EQ(first->Name(), "first");
    EXPECT_EQ(field->ValueNames().Item(0), first);
    const auto last = field->ValueNames().Item(39);
    field.reset();
    value.reset();
    EXPECT_EQ(first->Name(), "first");
    EXPECT_EQ(last->Name(), "name 39");
}

TEST(BitField, UpdateViewOnlyForFieldsWhoseBitsChanged) {
    auto value = Unsigned32(0);
    value->AddField("low", 0, 4, "");
    value->AddField("high", 4, 4, "");
    std::vector<std::string> views;
    auto low = value->Fields().Item("low");
    auto high = value->Fields().Item("high");
    auto c1 = low->UpdateView().Connect([&](FieldObject& field) { views.push_back("low" + field.ValueText()); });
    auto c2 = high->UpdateView().Connect([&](FieldObject& field) { views.push_back("high" + field.ValueText()); });
    value->Content().SetNumber(0x30);
    low->SetValue(1);
    low->SetValue(1);
    value->Content().SetNumber(0x22);
    EXPECT_EQ(views, (std::vector<std::string>{"high3", "low1", "low2", "high2"}));

    // A value with more fields than its change lists in place still tells each of them.
    auto wide = Unsigned32(0);
    std::vector<Connection> connections;
    std::string told;
    for (std::int32_t bit = 0; bit < 20; ++bit) {
        wide->AddField("bit" + std::to_string(bit), bit, 1, "");
        connections.push_back(
            wide->Fields().Item("bit" + std::to_string(bit))->UpdateView().Connect([&told](FieldObject& field) {
                told += field.ValueText();
            }));
    }
    wide->Content().SetNumber(0xFFFFF);
    EXPECT_EQ(told, std::string(20, '1'));
}

TEST(BitField, EditableNeedsAWritableValueAndAnEditableField) {
    auto value = Unsigned32(0);
    value->AddField("f", 0, 4, "");
    auto field = value->Fields().Item("f");
    EXPECT_TRUE(field->Editable());
    value->DriveSetEditable("f", false);
    EXPECT_FALSE(field->Editable());
    EXPECT_THROW(field->SetValue(3), Error);
    value->DriveSetEditable("f", true);
    value->Content().SetSetupFlag(false);
    EXPECT_FALSE(field->Editable());
    EXPECT_THROW(field->SetValue(3), Error);
    EXPECT_EQ(field->Value(), 0);
}

// A field kept after its value is gone refuses every call that needs the value, reads as well
// as writes, instead of reaching into it.
TEST(BitField, OutlivingItsValueIsAnErrorNotACrash) {
    const std::vector<std::pair<const char*, void (*)(FieldObject&)>> calls{
        {"Value", [](FieldObject& field) { (void)field.Value(); }},
        {"ValueText", [](FieldObject& field) { (void)field.ValueText(); }},
        {"Editable", [](FieldObject& field) { (void)field.Editable(); }},
        {"SetValue", [](FieldObject& field) { field.SetValue(1); }},
        {"Refresh", [](FieldObject& field) { field.Refresh(); }},
    };
    for (const auto& [name, call] : calls) {
        std::shared_ptr<FieldObject> field;
        {
            auto value = Unsigned32(3);
            value->AddField("f", 0, 2, "");
            field = value->Fields().Item("f");
        }
        try {
            call(*field);
            ADD_FAILURE() << name;
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), error_number::ObjectNotSet) << name;
        }
    }
}

}  // namespace
}  // namespace vor::valuelib
