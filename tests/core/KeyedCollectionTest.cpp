// The keyed collection searches small collections in place and large ones
// through a hash index; both must answer alike. Each case runs at a size
// below and a size above the point where the index is built.
#include "core/KeyedCollection.h"

#include <gtest/gtest.h>

using namespace ocable;

namespace {

class KeyedCollectionTest : public ::testing::TestWithParam<int> {
protected:
    // Items 0..n-1 under "Sta:<i>", plus a Chinese key and an unkeyed item.
    KeyedCollection<int> filled() {
        KeyedCollection<int> c;
        for (int i = 0; i < GetParam(); ++i)
            c.Add(i, "Sta:" + std::to_string(i));
        c.Add(-1, "局站Ab");
        c.Add(-2);
        return c;
    }
};

} // namespace

TEST_P(KeyedCollectionTest, KeysMatchWithoutRegardToAsciiCase) {
    auto c = filled();
    const int n = GetParam();
    for (int i = 0; i < n; ++i) {
        ASSERT_NE(c.find("STA:" + std::to_string(i)), nullptr) << i;
        EXPECT_EQ(*c.find("sta:" + std::to_string(i)), i);
    }
    EXPECT_EQ(*c.find("局站aB"), -1);
    EXPECT_EQ(c.find("局站"), nullptr);
    EXPECT_EQ(c.find("Sta:" + std::to_string(n)), nullptr);
    EXPECT_EQ(c.find(""), nullptr); // the unkeyed item is reached by position only
    EXPECT_EQ(*c.at(n + 2), -2);
    EXPECT_THROW(c.Add(7, "sTA:0"), CollectionError);
    EXPECT_THROW(c.Add(7, "局站AB"), CollectionError);
    EXPECT_EQ(c.Count(), static_cast<std::size_t>(n + 2));
}

TEST_P(KeyedCollectionTest, RemovingKeepsKeysAndPositionsInStep) {
    auto c = filled();
    const int n = GetParam();
    EXPECT_TRUE(c.Remove(std::string("STA:0")));
    EXPECT_FALSE(c.Remove(std::string("sta:0")));
    EXPECT_EQ(c.find("Sta:0"), nullptr);
    EXPECT_EQ(*c.find("Sta:1"), 1);
    EXPECT_EQ(*c.at(1), 1); // positions close up
    EXPECT_TRUE(c.Remove(std::int32_t{2}));
    EXPECT_EQ(c.find("Sta:2"), nullptr);
    EXPECT_EQ(*c.find("sta:3"), 3);
    EXPECT_EQ(*c.Item(std::string("STA:" + std::to_string(n - 1))), n - 1);
    EXPECT_FALSE(c.Remove(1.0));
    // A removed key may be used again; it goes to the end.
    c.Add(100, "sta:0");
    EXPECT_EQ(*c.at(static_cast<std::int64_t>(c.Count())), 100);
    EXPECT_EQ(*c.find("STA:0"), 100);
    c.Clear();
    EXPECT_EQ(c.find("Sta:1"), nullptr);
    c.Add(5, "Sta:1");
    EXPECT_EQ(*c.find("STA:1"), 5);
}

INSTANTIATE_TEST_SUITE_P(SearchedInPlaceAndIndexed, KeyedCollectionTest, ::testing::Values(5, 300));
