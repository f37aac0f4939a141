// Record reader: free-format numbers, text under A, status mode and the
// text operations.
#include <cmath>

#include "tests/recordio/rio_test.h"

namespace {

using Reader = RecordIoTest;

TEST_F(Reader, IntegersFromTheConsole) {
    Input("  12  \n12,13\n\n\n7\n/\n+8 -9\n-2147483648\n");
    int32_t a = 0, b = 0;
    Read(CONSOLE, FREE, a);
    EXPECT_EQ(a, 12);
    Read(CONSOLE, FREE, a);  // the 13 is discarded with the rest of the line
    EXPECT_EQ(a, 12);
    Read(CONSOLE, FREE, a);  // empty lines: the statement waits for its value
    EXPECT_EQ(a, 7);
    Read(CONSOLE, FREE, a);  // a slash leaves the target unchanged
    EXPECT_EQ(a, 7);
    Read(CONSOLE, FREE, a, b);
    EXPECT_EQ(a, 8);
    EXPECT_EQ(b, -9);
    Read(CONSOLE, FREE, a);
    EXPECT_EQ(a, -2147483647 - 1);
}

TEST_F(Reader, RealForms) {
    Input("1.5 -.5 5. 2 1e5 1.5D-3 2d2 -3.0E+01 7.25e-1\n");
    float v[9] = {};
    Read(CONSOLE, FREE, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
    const float want[9] = {1.5f, -0.5f, 5.0f, 2.0f, 1e5f, 1.5e-3f, 200.0f, -30.0f, 0.725f};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(v[i], want[i]) << i;
}

TEST_F(Reader, NonFiniteTokensReadBackForReals) {
    Input("NaN inf -Inf\n");
    float a = 0, b = 0, c = 0;
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_TRUE(std::isnan(a));
    EXPECT_TRUE(std::isinf(b) && b > 0);
    EXPECT_TRUE(std::isinf(c) && c < 0);
    Input("NaN\n");
    int32_t n = 3;
    EXPECT_THROW(Read(CONSOLE, FREE, n), RunTimeError);
    EXPECT_EQ(n, 3);
}

TEST_F(Reader, SeparatorsEmptyValuesAndRepeats) {
    float a = 9, b = 9, c = 9;
    Input("1,,3\n");
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 9);
    EXPECT_EQ(c, 3);

    a = b = c = 9;
    Input(" , 5 \t, \t 6\n");  // leading comma: empty first value
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(c, 6);

    a = b = c = 9;
    Input("1\t2 ,  , \n");
    Read(CONSOLE, FREE, a, b, c);  // the third value is empty
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 9);

    a = b = c = 0;
    Input("3*2.5\n");
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 2.5f);
    EXPECT_EQ(b, 2.5f);
    EXPECT_EQ(c, 2.5f);

    a = b = c = 9;
    Input("2* 4\n");
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(b, 9);
    EXPECT_EQ(c, 4);

    a = b = c = 9;
    Input("1 / 2 3\n4\n");
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 9);
    EXPECT_EQ(c, 9);
    Read(CONSOLE, FREE, a);  // the next statement starts on the next line
    EXPECT_EQ(a, 4);

    // blanks and a record end around a comma are one separator
    a = b = c = 9;
    Input("5\n , 6 7\n");
    Read(CONSOLE, FREE, a, b, c);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 6);
    EXPECT_EQ(c, 7);
}

TEST_F(Reader, ValuesCrossRecordsAndTheRestOfALineIsSkipped) {
    Put("data.dat", "1.0 2.0 3.0\r\n4.0\r\n1 2 3 4\n5 6\n7\n");
    ASSERT_EQ(OpenUnit(8, Text14("data.dat"), Text3("OLD")), 0);
    float x = 0;
    Read(8, FREE, x);
    EXPECT_EQ(x, 1.0f);
    Read(8, FREE, x);
    EXPECT_EQ(x, 4.0f);
    float v[6] = {};
    Read(8, FREE, v[0], v[1], v[2], v[3], v[4], v[5]);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i], i + 1.0f);
    int32_t n = 0;
    Read(8, FREE, n);
    EXPECT_EQ(n, 7);
    try {
        Read(8, FREE, n);
        FAIL() << "no end of file";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(std::string(e.what()), Report("F6501: READ(data.dat)", "end of file"));
    }
}

TEST_F(Reader, InvalidNumbersEndTheRunWithTheReport) {
    int32_t n = 0;
    float x = 0;
    Input("1.5\n");
    try {
        Read(CONSOLE, FREE, n);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number, 6101);
        EXPECT_EQ(std::string(e.what()), Report("F6101: READ(CON)", "invalid integer"));
    }
    for (const char* bad : {"abc\n", "12x\n", "'12'\n", "--1\n", "2147483648\n"}) {
        Input(bad);
        EXPECT_THROW(Read(CONSOLE, FREE, n), RunTimeError) << bad;
    }
    for (const char* bad : {"abc\n", "1.2.3\n", ".\n", "1e\n", "1e5x\n", "'1.0'\n", "1e99\n", "E5\n"}) {
        Input(bad);
        EXPECT_THROW(Read(CONSOLE, FREE, x), RunTimeError) << bad;
    }
    Input("");
    try {
        Read(CONSOLE, FREE, n);
        FAIL() << "no end of file";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(std::string(e.what()), Report("F6501: READ(CON)", "end of file"));
    }
}

TEST_F(Reader, TextUnderA) {
    Input("y\n\nabcdefghijklmnopqrst\nab\r\nfree text\n");
    Text1 yes;
    Read(CONSOLE, "(A1)", yes);
    EXPECT_EQ(yes.c[0], 'y');
    EXPECT_FALSE(yes == "Y");
    Read(CONSOLE, "(A1)", yes);
    EXPECT_EQ(yes.c[0], ' ');
    Text14 name;
    Read(CONSOLE, "(A14)", name);
    EXPECT_EQ(std::string(name.c, 14), "abcdefghijklmn");
    Read(CONSOLE, "(A14)", name);  // CR stripped, blank-padded
    EXPECT_EQ(std::string(name.c, 14), "ab            ");
    Read(CONSOLE, FREE, name);  // free format: the next value
    EXPECT_EQ(name.trimmed(), "free");
}

TEST_F(Reader, StatusModeReturnsErrorsAndEndOfFile) {
    Put("curve.dat", "1.5\n\n2.5\nabc\n");
    ASSERT_EQ(OpenUnit(1, Text14("curve.dat"), Text3("OLD")), 0);
    float x = 0;
    EXPECT_EQ(ReadWithStatus(1, FREE, x), 0);
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(ReadWithStatus(1, FREE, x), 0);  // the empty line is skipped
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(ReadWithStatus(1, FREE, x), 6103);
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(ReadWithStatus(1, FREE, x), -1);
    // the low-level form: the first non-zero status abandons the statement
    RewindUnit(1);
    float a = 0, b = 0;
    BeginRead(1, FREE, true);
    EXPECT_EQ(ReadReal(a), 0);
    EXPECT_EQ(ReadReal(b), 0);  // crosses the empty record to 2.5
    EXPECT_EQ(EndRead(), 0);
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(b, 2.5f);
}

TEST_F(Reader, ConsoleReadClearsThePendingLine) {
    Input("1\n");
    Write(CONSOLE, "(1X,'a')");
    int32_t n = 0;
    Read(CONSOLE, FREE, n);
    Write(CONSOLE, "(1X,'b')");
    EXPECT_EQ(Take(), "a\r\nb");
}

TEST(TextOperations, CompareAsIfBlankPadded) {
    EXPECT_TRUE(TextEqual("ab", 2, "ab   ", 5));
    EXPECT_TRUE(TextEqual("", 0, "   ", 3));
    EXPECT_FALSE(TextEqual("y", 1, "Y", 1));
    EXPECT_FALSE(TextEqual("ab", 2, "ab c", 4));
}

}  // namespace
