#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/regstore/ValueList.h"

namespace vor::store {
namespace {

using namespace std::string_literals;

struct Expected {
    std::string name;
    std::uint32_t type;
    std::string data;
    bool operator==(const Expected&) const = default;
};

std::vector<Expected> Contents(const ValueList& list) {
    std::vector<Expected> contents;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        contents.push_back({std::string(list[i].name), list[i].type, std::string(list[i].data)});
    }
    return contents;
}

// Both ways of finding a name: by scanning a short list, by the map of a long one.
class ValueListTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        for (int i = 0; i < GetParam(); ++i) {
            const std::string name = "Filler " + std::to_string(i);
            ASSERT_TRUE(m_list.Set(name, 1, "x"));
            m_expected.push_back({name, 1, "x"});
        }
    }
    void Set(const std::string& name, std::uint32_t type, const std::string& data) {
        ASSERT_TRUE(m_list.Set(name, type, data));
    }
    void ExpectRoundTrip() {
        const std::optional<ValueList> decoded = ValueList::Decode(m_list.Blob());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(Contents(*decoded), Contents(m_list));
    }

    ValueList m_list;
    std::vector<Expected> m_expected;
};

TEST_P(ValueListTest, ValuesKeepTheirPlaceAndTheCaseTheyWereMadeWith) {
    Set("Speed", 4, "\x10\0\0\0"s);
    Set("Name", 1, "motor\0"s);
    Set("", 1, "default");
    Set("SPEED", 4, "\x20\0\0\0"s);      // same size: in place
    Set("name", 1, "a longer name\0"s);  // another size: the blob is rebuilt
    m_expected.push_back({"Speed", 4, "\x20\0\0\0"s});
    m_expected.push_back({"Name", 1, "a longer name\0"s});
    m_expected.push_back({"", 1, "default"});
    EXPECT_EQ(Contents(m_list), m_expected);
    ExpectRoundTrip();

    ASSERT_TRUE(m_list.Find("sPeEd"));
    EXPECT_EQ(m_list.Find("sPeEd")->data, "\x20\0\0\0"s);
    EXPECT_FALSE(m_list.Find("Spee"));
    EXPECT_FALSE(m_list.Find("Speed "));
    // Only ASCII letters fold: other bytes must match as they are.
    Set("\xC4rger", 1, "1");
    EXPECT_FALSE(m_list.Find("\xE4rger"));

    EXPECT_TRUE(m_list.Erase("NAME"));
    EXPECT_FALSE(m_list.Erase("Name"));
    EXPECT_FALSE(m_list.Find("Name"));
    Set("Name", 1, "again");
    EXPECT_EQ(m_list[m_list.Size() - 1].name, "Name") << "a value made again goes last";
    ExpectRoundTrip();
    EXPECT_EQ(m_list.Find("Speed")->type, 4u);

    // Emptied, the list is as new: no name of before is found, and values go in from the start.
    m_list.Clear();
    EXPECT_FALSE(m_list.Find("Speed"));
    Set("speed", 1, "x");
    Set("Filler 1", 1, "y");
    Set("SPEED", 1, "z");
    EXPECT_EQ(Contents(m_list), (std::vector<Expected>{{"speed", 1, "z"}, {"Filler 1", 1, "y"}}));
    ExpectRoundTrip();
}

INSTANTIATE_TEST_SUITE_P(Lengths, ValueListTest, ::testing::Values(0, 40));

TEST(ValueListDecodeTest, RowsItDidNotWriteAreRefused) {
    ValueList list;
    ASSERT_TRUE(list.Set("Name", 1, "data"));
    const std::string valid(list.Blob());
    const std::string header = valid.substr(0, 12);
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"cut inside the header", valid.substr(0, 7)},
        {"cut inside the data", valid.substr(0, valid.size() - 1)},
        {"a second value cut short", valid + header},
        {"sizes past the end", "\xFF\xFF\xFF\xFF\x01\0\0\0\xFF\xFF\xFF\xFF"s + "x"},
        {"name and data past the end together", "\x02\0\0\0\x01\0\0\0\xFF\xFF\xFF\x7F"s + "ab"},
    };
    const auto visitedNone = [](const ValueList::Value&) {
        ADD_FAILURE() << "a value of a refused blob was visited";
        return true;
    };
    for (const auto& [what, blob] : damaged) {
        EXPECT_FALSE(ValueList::Decode(blob)) << what;
        EXPECT_FALSE(ValueList::VisitBlob(blob, visitedNone)) << what;
    }
    EXPECT_TRUE(ValueList::Decode(""));
    EXPECT_EQ(ValueList::Decode("")->Size(), 0u);
}

}  // namespace
}  // namespace vor::store
