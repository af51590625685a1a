#include "platform/runtime/array2d.h"

#include <gtest/gtest.h>

#include "tests/unit/runtime/error_of.h"

using rttest::ErrorOf;

TEST(Array2D, BeforeTheFirstReDimEveryAccessIsOutOfRange) {
    rt::Array2D<int16_t> a;
    EXPECT_FALSE(a.IsDimensioned());
    EXPECT_EQ(ErrorOf([&] { a.UBound(1); }), rt::ErrSubscript);
    EXPECT_EQ(ErrorOf([&] { a(0, 0); }), rt::ErrSubscript);
}

TEST(Array2D, ReDimGivesZeroedBoundsAndChecksEveryIndex) {
    rt::Array2D<int16_t> a;
    a.ReDim(2, 3);
    EXPECT_EQ(a.UBound(1), 2);
    EXPECT_EQ(a.UBound(2), 3);
    EXPECT_EQ(a.LBound(1), 0);
    EXPECT_EQ(ErrorOf([&] { a.UBound(3); }), rt::ErrSubscript);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 3; ++j) EXPECT_EQ(a(i, j), 0);
    a(2, 3) = 7;
    a(1, 0) = 5;
    EXPECT_EQ(a(2, 3), 7);
    EXPECT_EQ(a(1, 0), 5);
    EXPECT_EQ(a(0, 3), 0);  // distinct cells: row-major with the right stride
    for (auto [i, j] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 4}})
        EXPECT_EQ(ErrorOf([&] { a(i, j); }), rt::ErrSubscript) << i << "," << j;

    a.ReDim(0, 0);  // the old contents go
    EXPECT_EQ(a(0, 0), 0);
    EXPECT_EQ(ErrorOf([&] { a(1, 0); }), rt::ErrSubscript);
}

TEST(Array2D, FailedReDimKeepsTheOldArray) {
    rt::Array2D<int16_t> a;
    a.ReDim(1, 1);
    a(1, 1) = 9;
    EXPECT_EQ(ErrorOf([&] { a.ReDim(-1, 3); }), rt::ErrSubscript);
    EXPECT_EQ(ErrorOf([&] { a.ReDim(3, -1); }), rt::ErrSubscript);
    EXPECT_EQ(ErrorOf([&] { a.ReDim(2147483647, 2147483647); }), rt::ErrOutOfMemory);
    EXPECT_EQ(ErrorOf([&] { a.ReDim(32767, 32767); }), rt::ErrOutOfMemory);  // 2 GiB
    EXPECT_EQ(a.UBound(1), 1);
    EXPECT_EQ(a(1, 1), 9);
}

TEST(Array2D, CopiesAreIndependent) {
    rt::Array2D<int16_t> a;
    a.ReDim(1, 2);
    a(1, 2) = 4;
    rt::Array2D<int16_t> b = a;
    b(1, 2) = 5;
    EXPECT_EQ(a(1, 2), 4);
    EXPECT_EQ(b(1, 2), 5);
    rt::Array2D<int16_t> empty;
    b = empty;
    EXPECT_FALSE(b.IsDimensioned());
}
