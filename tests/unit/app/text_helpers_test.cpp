#include "app/text_helpers.h"

#include <gtest/gtest.h>
#include <random>

#include "engine/text_fields.h"

using ModMain::Field;
using ModMain::TrimExtraSpace;

TEST(TrimExtraSpace, EndsRemovedInnerRunsShrunk) {
    EXPECT_EQ(TrimExtraSpace("  a  b   c d  "), "a b c d");
    EXPECT_EQ(TrimExtraSpace(""), "");
    EXPECT_EQ(TrimExtraSpace("    "), "");
    EXPECT_EQ(TrimExtraSpace("x"), "x");
    EXPECT_EQ(TrimExtraSpace("  2 , 3,1,12   "), "2 , 3,1,12");
}

TEST(TrimExtraSpace, OnlyTheSpaceCounts) {
    EXPECT_EQ(TrimExtraSpace("1\t2\t3"), "1\t2\t3");
    EXPECT_EQ(TrimExtraSpace("\t a \t"), "\t a \t");
    EXPECT_EQ(TrimExtraSpace("a \t  b"), "a \t b");
    EXPECT_EQ(TrimExtraSpace(" \n "), "\n");
}

TEST(TrimExtraSpace, CallersStringUnchanged) {
    std::string line = "  a  b ";
    TrimExtraSpace(line);
    EXPECT_EQ(line, "  a  b ");
}

TEST(Field, CountsFieldsFromOne) {
    EXPECT_EQ(Field("10,12,3,4", ",", 1), "10");
    EXPECT_EQ(Field("10,12,3,4", ",", 2), "12");
    EXPECT_EQ(Field("10,12,3,4", ",", 4), "4");
    EXPECT_EQ(Field("10,12,3,4", ",", 5), "");
    EXPECT_EQ(Field("10,12,3,4", ",", 32767), "");
    EXPECT_EQ(Field("1,,3", ",", 2), "");
    EXPECT_EQ(Field("1,,3", ",", 3), "3");
    EXPECT_EQ(Field("", ",", 1), "");
    EXPECT_EQ(Field(",", ",", 2), "");
    EXPECT_EQ(Field("1 , 2", ",", 2), " 2");
    EXPECT_EQ(Field("a:b", ":", 2), "b");
    EXPECT_EQ(Field("aXbxc", "x", 2), "c");  // exact comparison: X is no separator for x
}

TEST(Field, InvalidSeparatorOrNumberGivesEmpty) {
    EXPECT_EQ(Field("1,2", ",", 0), "");
    EXPECT_EQ(Field("1,2", ",", -1), "");
    EXPECT_EQ(Field("1,2", "", 1), "");
    EXPECT_EQ(Field("1,,2", ",,", 1), "");
}

// The one-pass split that the world reader uses must give exactly what Field gives.
TEST(SplitFields, AgreesWithFieldOnRandomLines) {
    std::mt19937 rng(7);
    const char alphabet[] = {',', ',', 'a', '1', ' ', ':'};
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        int len = static_cast<int>(rng() % 12);
        for (int i = 0; i < len; ++i) line += alphabet[rng() % sizeof alphabet];
        auto fields = ZemText::SplitFields(line, ',');
        for (int k = 1; k <= static_cast<int>(fields.size()) + 2; ++k) {
            std::string expected = Field(line, ",", static_cast<rt::Integer>(k));
            std::string got = k <= static_cast<int>(fields.size()) ? std::string(fields[k - 1]) : "";
            ASSERT_EQ(got, expected) << "line '" << line << "' field " << k;
        }
    }
}
