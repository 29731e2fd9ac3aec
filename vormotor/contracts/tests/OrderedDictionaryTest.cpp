#include <gtest/gtest.h>

#include <algorithm>
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

// Short tables are searched along their entries, longer ones through an index, and whole-number
// keys from 0 to 31 by their number: every size finds each key, refuses each again, keeps the
// order the keys came in, and finds nothing for a key it lacks, on either side of that range.
TEST(OrderedDictionary, FindsEveryKeyAtEverySize) {
    const auto check = [](auto keyOf, const auto& probes) {
        using Key = decltype(keyOf(0));
        for (const int size : {1, 16, 17, 40, 300}) {
            OrderedDictionary<Key, int> table;
            std::vector<Key> keys;
            for (int number = 0; number < size; ++number) {
                keys.push_back(keyOf((number * 37) % 1009));  // neither sorted nor in runs
                table.Add(keys.back(), number);
            }
            EXPECT_EQ(table.Keys(), keys) << size;
            for (int number = 0; number < size; ++number) {
                EXPECT_EQ(table.Item(keys[number]), number) << size;
                EXPECT_THROW(table.Add(keys[number], -1), Error) << size;
            }
            for (const Key& probe : probes) {
                const bool listed = std::find(keys.begin(), keys.end(), probe) != keys.end();
                EXPECT_EQ(table.Exists(probe), listed) << size;
                EXPECT_EQ(table.Find(probe) != nullptr, listed) << size;
            }
            EXPECT_EQ(table.Count(), size);
            table.RemoveAll();
            for (const Key& key : keys) {
                EXPECT_FALSE(table.Exists(key)) << size;
            }
            table.Add(keys.back(), 1);
            EXPECT_EQ(table.Item(keys.back()), 1) << size;
        }
    };
    check([](int number) { return "key " + std::to_string(number); }, std::vector<std::string>{"Key 0", "key 1008"});
    std::vector<int> numbers;
    for (int probe = -2; probe <= 33; ++probe) {
        numbers.push_back(probe);
    }
    numbers.push_back(2000);
    check([](int number) { return number - 40; }, numbers);
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
