#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/contracts/OrderedDictionary.h"
#include "vormotor/core/Error.h"

namespace vor {
namespace {

TEST(OrderedDictionary, KeepsInsertionOrderNotKeyOrder) {
    OrderedDictionary<int, std::string> names;
    for (int code : {0, 1, 2, 3, 4, 14, 15, 6, 7}) {
        names.Add(code, "entry " + std::to_string(code));
    }
    EXPECT_EQ(names.Count(), 9);
    EXPECT_EQ(names.Keys(), (std::vector<int>{0, 1, 2, 3, 4, 14, 15, 6, 7}));
    EXPECT_EQ(names.Items().at(5), "entry 14");
    EXPECT_EQ(names.Item(6), "entry 6");
}

TEST(OrderedDictionary, MissingAndDuplicateKeysAreErrors) {
    OrderedDictionary<std::string, int> fields;
    fields.Add("Motor Type", 1);
    EXPECT_TRUE(fields.Exists("Motor Type"));
    EXPECT_FALSE(fields.Exists("motor type"));
    try {
        fields.Item("Encoder Mode");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::KeyNotFound);
        EXPECT_NE(error.Description().find("Encoder Mode"), std::string::npos);
    }
    EXPECT_THROW(fields.Add("Motor Type", 2), Error);
    EXPECT_EQ(fields.Item("Motor Type"), 1);
}

TEST(OrderedDictionary, RemoveAllEmptiesAndAllowsReuse) {
    OrderedDictionary<int, int> table;
    table.Add(41, 1);
    table.Add(40, 2);
    table.RemoveAll();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Exists(41));
    table.Add(40, 3);
    EXPECT_EQ(table.Keys(), (std::vector<int>{40}));
}

}  // namespace
}  // namespace vor
