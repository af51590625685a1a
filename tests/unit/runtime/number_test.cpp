#include "platform/runtime/number.h"

#include <clocale>
#include <gtest/gtest.h>

#include "platform/runtime/errors.h"
#include "platform/runtime/types.h"
#include "tests/unit/runtime/error_of.h"

using rt::Val;

namespace {
// The error number that reading `text` raises (0 for none).
int ErrorOf(const char* text) {
    return rttest::ErrorOf([&] { Val(text); });
}
}  // namespace

TEST(Val, DecimalNumbersWithBlanksAnywhere) {
    EXPECT_EQ(Val("12"), 12);
    EXPECT_EQ(Val(" 12"), 12);
    EXPECT_EQ(Val("1 2"), 12);
    EXPECT_EQ(Val("\t1\n2 "), 12);
    EXPECT_EQ(Val("- 1 . 5"), -1.5);
    EXPECT_EQ(Val("+7"), 7);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("5."), 5);
    EXPECT_EQ(Val("4.5"), 4.5);
}

TEST(Val, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(Val("7x"), 7);
    EXPECT_EQ(Val("1,2"), 1);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("3-4"), 3);
    EXPECT_EQ(Val("\r12"), 0);  // a carriage return is no blank
}

TEST(Val, NoLeadingNumberGivesZero) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("x7"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("&"), 0);
    EXPECT_EQ(Val("&H"), 0);
    EXPECT_EQ(Val("&X1"), 0);
    EXPECT_EQ(Val("E5"), 0);
}

TEST(Val, Exponent) {
    EXPECT_EQ(Val("1E3"), 1000);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("2.5E-1"), 0.25);
    EXPECT_EQ(Val("1 E + 2"), 100);
    EXPECT_EQ(Val("7E"), 7);
    EXPECT_EQ(Val("7E+"), 7);
    EXPECT_EQ(Val("7Ex"), 7);
    EXPECT_EQ(Val("1E-400"), 0);
    EXPECT_EQ(ErrorOf("1E400"), rt::ErrOverflow);
    EXPECT_EQ(ErrorOf("-1E400"), rt::ErrOverflow);
}

TEST(Val, HexadecimalAndOctalWrapLikeThePlatformLiterals) {
    EXPECT_EQ(Val("&HC"), 12);
    EXPECT_EQ(Val("&hc"), 12);
    EXPECT_EQ(Val("& H 1 0"), 16);
    EXPECT_EQ(Val("&H7FFF"), 32767);
    EXPECT_EQ(Val("&H8000"), -32768);
    EXPECT_EQ(Val("&HFFFF"), -1);
    EXPECT_EQ(Val("&H10000"), 65536);
    EXPECT_EQ(Val("&HFF000000"), -16777216);
    EXPECT_EQ(Val("&HFFFFFFFF"), -1);
    EXPECT_EQ(Val("&H0000000000C"), 12);
    EXPECT_EQ(Val("&HCG"), 12);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&O18"), 1);
    EXPECT_EQ(ErrorOf("&H100000000"), rt::ErrOverflow);
    EXPECT_EQ(ErrorOf("&O77777777777777"), rt::ErrOverflow);
}

TEST(Val, FullStopWhateverTheLocale) {
    // A locale with a decimal comma must not change the reading.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(Val("2.5"), 2.5);
    EXPECT_EQ(Val("2,5"), 2);
    std::setlocale(LC_ALL, "C");
}

TEST(Val, ConversionToTargetsRoundsHalfToEven) {
    EXPECT_EQ(rt::CInt(Val("2.5")), 2);
    EXPECT_EQ(rt::CInt(Val("3.5")), 4);
    EXPECT_EQ(rt::CInt(Val("-2.5")), -2);
    EXPECT_EQ(rt::CInt(Val("4.5")), 4);
    EXPECT_EQ(rt::CInt(Val("5.5")), 6);
    EXPECT_THROW(rt::CInt(Val("40000")), rt::RuntimeError);
    EXPECT_EQ(rt::CLng(Val("&HFF00FF00")), static_cast<int32_t>(0xFF00FF00u));
}
