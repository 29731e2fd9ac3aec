#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "vormotor/regstore/CreatedKeys.h"

namespace vor::store {
namespace {

// What the record answers below a parent: Unknown (the parent was not created here), None (no such sub-key), or its id.
constexpr std::int64_t Unknown = -1;
constexpr std::int64_t None = 0;
std::int64_t Asked(const CreatedKeys& keys, std::uint64_t transaction, std::int64_t parent, std::string_view fold) {
    const std::optional<CreatedKeys::Known> known = keys.SubKey(transaction, parent, fold);
    return !known ? Unknown : known->id.value_or(None);
}

// Keys numbered one after another, and out of order, as a store may number them.
TEST(CreatedKeysTest, KnowsTheKeysOfItsTransactionWhateverTheirNumbers) {
    for (const std::vector<std::int64_t>& ids : {std::vector<std::int64_t>{10, 11, 12}, {10, 30, 20}, {30, 10, 20}}) {
        CreatedKeys keys;
        keys.Created(1, 2, "A", ids[0]);  // below a key made before the transaction
        keys.Created(1, ids[0], "B", ids[1]);
        keys.Created(1, ids[1], "C", ids[2]);
        EXPECT_EQ(Asked(keys, 1, 2, "A"), Unknown) << "a parent made before answers nothing";
        EXPECT_EQ(Asked(keys, 1, ids[0], "B"), ids[1]);
        EXPECT_EQ(Asked(keys, 1, ids[1], "C"), ids[2]);
        EXPECT_EQ(Asked(keys, 1, ids[1], "D"), None) << "no such sub-key";
        EXPECT_EQ(Asked(keys, 1, ids[2], "C"), None) << "a leaf has none";
        EXPECT_EQ(Asked(keys, 1, 15, "B"), Unknown);
        EXPECT_EQ(Asked(keys, 2, ids[0], "B"), Unknown) << "another transaction";
        keys.Forget();
        EXPECT_EQ(Asked(keys, 1, ids[0], "B"), Unknown);
    }
}

}  // namespace
}  // namespace vor::store
