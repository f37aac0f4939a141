// Record formatter: field editing, format control and free-format output,
// checked against values worked out by hand from the editing rules.
#include <cmath>
#include <cstring>
#include <limits>

#include "tests/recordio/rio_test.h"

namespace {

using Formatter = RecordIoTest;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST_F(Formatter, IntegerFields) {
    EXPECT_EQ(Line("(I2)", int32_t(5)), " 5");
    EXPECT_EQ(Line("(I2)", int32_t(-5)), "-5");
    EXPECT_EQ(Line("(I2)", int32_t(123)), "**");
    EXPECT_EQ(Line("(I2)", int32_t(100)), "**");
    EXPECT_EQ(Line("(I3)", int32_t(0)), "  0");
    EXPECT_EQ(Line("(I5)", int32_t(-1234)), "-1234");
    EXPECT_EQ(Line("(I4)", int32_t(-1234)), "****");
    EXPECT_EQ(Line("(I5)", int16_t(1999)), " 1999");
}

TEST_F(Formatter, FixedFieldsRoundAndDropLeadingZero) {
    EXPECT_EQ(Line("(F8.1)", 1234.56f), "  1234.6");
    EXPECT_EQ(Line("(F8.1)", 0.04f), "      .0");
    EXPECT_EQ(Line("(F8.1)", -0.04f), "      .0");  // no minus on a printed zero
    EXPECT_EQ(Line("(F8.1)", 0.05f), "      .1");   // 0.0500000007 rounds up
    EXPECT_EQ(Line("(F8.1)", 123456789.0f), "********");
    EXPECT_EQ(Line("(F6.1)", -0.25f), "   -.3");
    EXPECT_EQ(Line("(F8.1)", -0.25f), "     -.3");
    EXPECT_EQ(Line("(F6.3)", 0.5f), "  .500");
    EXPECT_EQ(Line("(F6.1)", 0.0f), "    .0");
    EXPECT_EQ(Line("(F6.1)", -0.0f), "    .0");
    EXPECT_EQ(Line("(F9.1)", -1.0f), "     -1.0");
    // more than 7 significant digits: the 7th is rounded, later ones are 0
    EXPECT_EQ(Line("(F10.2)", 123456.78f), " 123456.80");
    EXPECT_EQ(Line("(F9.3)", 12345.678f), "12345.680");
    // carries into a new integer digit keep the fraction digits
    EXPECT_EQ(Line("(F6.2)", 9.999f), " 10.00");
    EXPECT_EQ(Line("(F6.2)", 99.999f), "100.00");
    EXPECT_EQ(Line("(F5.2)", 99.999f), "*****");
    // values below the printed positions
    EXPECT_EQ(Line("(F8.4)", 0.00004f), "   .0000");
    EXPECT_EQ(Line("(F8.4)", -0.00004f), "   .0000");
    EXPECT_EQ(Line("(F8.4)", 0.00005f), "   .0000");  // the float is 0.0000499999987
    EXPECT_EQ(Line("(F8.4)", 0.00006f), "   .0001");
    EXPECT_EQ(Line("(F8.4)", 0.0123f), "   .0123");
    EXPECT_EQ(Line("(F8.3)", 1e-20f), "    .000");
}

TEST_F(Formatter, GeneralFieldsChooseFormBeforeRounding) {
    EXPECT_EQ(Line("(G10.3)", 0.0f), "  .000    ");
    EXPECT_EQ(Line("(G10.3)", -0.0f), "  .000    ");
    EXPECT_EQ(Line("(G10.3)", 1.0f), "  1.00    ");
    EXPECT_EQ(Line("(G10.3)", 0.5f), "  .500    ");
    EXPECT_EQ(Line("(G10.3)", -0.5f), " -.500    ");
    EXPECT_EQ(Line("(G10.3)", 0.1f), "  .100    ");
    EXPECT_EQ(Line("(G10.3)", 123.4f), "  123.    ");
    EXPECT_EQ(Line("(G10.3)", 9.9996f), "  10.0    ");
    EXPECT_EQ(Line("(G10.3)", 999.6f), " 1000.    ");
    EXPECT_EQ(Line("(G10.3)", 0.9996f), "  1.00    ");
    EXPECT_EQ(Line("(G10.3)", 1000.0f), "  .100E+04");
    EXPECT_EQ(Line("(G10.3)", 12345.0f), "  .123E+05");
    EXPECT_EQ(Line("(G10.3)", -12345.0f), " -.123E+05");
    EXPECT_EQ(Line("(G10.3)", 0.05f), "  .500E-01");
    EXPECT_EQ(Line("(G10.3)", 0.0999f), "  .999E-01");
    EXPECT_EQ(Line("(G10.3)", 0.09996f), "  .100E+00");
    EXPECT_EQ(Line("(G10.3)", std::nextafter(0.1f, 0.0f)), "  .100E+00");
    EXPECT_EQ(Line("(G10.3)", 1e38f), "  .100E+39");
    EXPECT_EQ(Line("(G9.2)", 12345.0f), "  .12E+05");
    EXPECT_EQ(Line("(G9.2)", -0.001f), " -.10E-02");
    EXPECT_EQ(Line("(G9.3)", -12345.0f), "-.123E+05");
    EXPECT_EQ(Line("(G9.3)", -123456789.0f), "-.123E+09");
    EXPECT_EQ(Line("(G14.7)", 123456.78f), "  123456.8    ");
    EXPECT_EQ(Line("(G15.6)", 1e-10f), "    .100000E-09");
    EXPECT_EQ(Line("(G12.4)", -0.0f), "   .0000    ");
    EXPECT_EQ(Line("(G11.4)", 9999.5f), " 10000.    ");  // fixed form chosen before the carry
}

TEST_F(Formatter, NonFiniteRealsFillTheField) {
    EXPECT_EQ(Line("(F6.2)", kNaN), "******");
    EXPECT_EQ(Line("(F8.1)", -kInf), "********");
    EXPECT_EQ(Line("(G9.3)", kNaN), "*********");
    EXPECT_EQ(Line("(G10.3)", kInf), "**********");
    EXPECT_EQ(Line(FREE, kNaN, kInf, -kInf), "             NaN             Inf            -Inf");
}

TEST_F(Formatter, TextFields) {
    const Text14 name("model.dat");
    EXPECT_EQ(Line("(A14)", name), "model.dat     ");
    EXPECT_EQ(Line("(A5)", name), "model");
    EXPECT_EQ(Line("(A16)", name), "  model.dat     ");
    EXPECT_EQ(Line("(2X,'TITLE: ',A50)", Text50("ROTOR")), "  TITLE: ROTOR" + std::string(45, ' '));
    EXPECT_EQ(Line("(A3,'|')", "ab"), " ab|");
}

TEST_F(Formatter, FormatControl) {
    EXPECT_EQ(Line("(2X,'Iteration No.',I4,'  Rotor Speed =',F9.1,' RPM ... ')", int32_t(3), 1500.0f),
              "  Iteration No.   3  Rotor Speed =   1500.0 RPM ... ");
    EXPECT_EQ(FileBytes("(/,2X,'Total Number of Degrees Of Freedom ',I3,/)", int32_t(396)),
              "\r\n  Total Number of Degrees Of Freedom 396\r\n\r\n");
    EXPECT_EQ(Line("(78('_'))"), std::string(78, '_'));
    EXPECT_EQ(Line("(7('='))"), "=======");
    EXPECT_EQ(Line("(33X,10('_'),2X,10('_'))"),
              std::string(33, ' ') + std::string(10, '_') + "  " + std::string(10, '_'));
    EXPECT_EQ(Line("(6(2X,G9.3))", 1.f, 2.f, 3.f, 4.f, 5.f, 6.f),
              "   1.00       2.00       3.00       4.00       5.00       6.00    ");
    EXPECT_EQ(Line("(2I3,1X,2F4.1)", int32_t(1), int32_t(2), 0.5f, 1.5f), "  1  2   .5 1.5");
    EXPECT_EQ(Line("('It''s',I2)", int32_t(1)), "It's 1");
    // the list ends inside a group: literals up to the next data descriptor
    EXPECT_EQ(Line("(1X,3(I2,'|'))", int32_t(1), int32_t(2)), "  1| 2|");
    // trailing nX columns are not written
    EXPECT_EQ(Line("(2X,'#',I3,' >',3X)", int32_t(5)), "  #  5 >");
    // no items: literals up to the first data descriptor
    EXPECT_EQ(Line("(1X,'abc',I3,'def')"), " abc");
    EXPECT_EQ(Line("(1X,'Unit ',I2)", int32_t(8)), " Unit  8");
}

TEST_F(Formatter, ReversionRestartsAtTheLastTopLevelGroup) {
    EXPECT_EQ(FileBytes("(1X,'H',2(I2))", int32_t(1), int32_t(2), int32_t(3)), " H 1 2\r\n 3\r\n");
    EXPECT_EQ(FileBytes("(1X,2I3)", int32_t(1), int32_t(2), int32_t(3), int32_t(4), int32_t(5)),
              "   1  2\r\n   3  4\r\n   5\r\n");
}

TEST_F(Formatter, BadSpecificationsAndItemsEndTheRun) {
    try {
        Write(CONSOLE, RuntimeFormat("(1X,I3)"), 1.0f);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number, 6202);
        EXPECT_EQ(std::string(e.what()), Report("F6202: WRITE(CON)", "item does not suit its edit descriptor"));
    }
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,Q5)"), int32_t(1)), RunTimeError);
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,I3"), int32_t(1)), RunTimeError);
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,'abc')"), int32_t(1)), RunTimeError);
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,F8)"), 1.0f), RunTimeError);
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,A14)"), 1.0f), RunTimeError);
    EXPECT_THROW(Write(CONSOLE, RuntimeFormat("(1X,F8.2)"), int32_t(1)), RunTimeError);
    // the layer is usable again after an error
    EXPECT_EQ(Line("(I3)", int32_t(7)), "  7");
}

TEST_F(Formatter, ReusedFormatBufferIsParsedAgain) {
    char buf[32];
    std::strcpy(buf, "(I3)");
    EXPECT_EQ(Line(buf, int32_t(7)), "  7");
    std::strcpy(buf, "(I5)");
    EXPECT_EQ(Line(buf, int32_t(7)), "    7");
}

TEST_F(Formatter, FreeFormatFields) {
    EXPECT_EQ(Line(FREE, int32_t(5)), std::string(11, ' ') + "5");
    EXPECT_EQ(Line(FREE, 1.5f, 0.001f), "        1.500000    1.000000E-03");
    EXPECT_EQ(Line(FREE), " ");
    EXPECT_EQ(Line(FREE, 123.456f), "      123.456000");
    EXPECT_EQ(Line(FREE, 9999999.0f), "  9999999.000000");
    EXPECT_EQ(Line(FREE, 1e7f), "    1.000000E+07");
    EXPECT_EQ(Line(FREE, 0.0f), "    0.000000E+00");
    EXPECT_EQ(Line(FREE, -0.0f), "    0.000000E+00");
    EXPECT_EQ(Line(FREE, -0.5f), "   -5.000000E-01");
    EXPECT_EQ(Line(FREE, 0.001234568f), "    1.234568E-03");
    EXPECT_EQ(Line(FREE, std::nextafter(1.0f, 0.0f)), "    9.999999E-01");
    EXPECT_EQ(Line(FREE, -2.5e-30f), "   -2.500000E-30");
    // texts take no separating blank, and the number after a text none either
    EXPECT_EQ(Line(FREE, " N =", int32_t(5), int32_t(6)), "  N =          5           6");
    EXPECT_EQ(Line(FREE, " done ..."), "  done ...");
    EXPECT_EQ(Line(FREE, int32_t(-2147483647 - 1)), " -2147483648");
}

TEST_F(Formatter, FreeFormatWrapsAt79Columns) {
    // one integer and six reals: the integer and four reals, then two reals
    std::string b = FileBytes(FREE, int32_t(1), 1.f, 2.f, 3.f, 4.f, 5.f, 6.f);
    const std::string r = "        1.000000";  // a real with its separating blank
    EXPECT_EQ(b, " " + std::string(10, ' ') + "1" + r + "        2.000000        3.000000        4.000000\r\n" +
                     "         5.000000        6.000000\r\n");
    // five reals: four, then one
    b = FileBytes(FREE, 1.f, 2.f, 3.f, 4.f, 5.f);
    EXPECT_EQ(b, "        1.000000        2.000000        3.000000        4.000000\r\n         5.000000\r\n");
    // six integers fit, the seventh starts a new record
    b = FileBytes(FREE, int32_t(1), int32_t(2), int32_t(3), int32_t(4), int32_t(5), int32_t(6));
    EXPECT_EQ(b.find("\r\n"), b.size() - 2);
    EXPECT_EQ(b.size(), 1 + 11 + 5 * 12 + 2u);
    b = FileBytes(FREE, int32_t(1), int32_t(2), int32_t(3), int32_t(4), int32_t(5), int32_t(6), int32_t(7));
    EXPECT_EQ(b.substr(b.find("\r\n")), "\r\n            7\r\n");
    // a long text is split at column 79 and goes on in a record with one blank
    const std::string t(100, 'x');
    b = FileBytes(FREE, t.c_str());
    EXPECT_EQ(b, " " + std::string(79, 'x') + "\r\n " + std::string(21, 'x') + "\r\n");
}

TEST_F(Formatter, LiteralItemWithNegativeLengthIsEmpty) {
    EXPECT_EQ(FileBytes(nullptr), " \r\n");
    OpenUnit(50, Text14("neg.txt"), Text3("NEW"));
    BeginWrite(50, FREE);
    WriteLiteral("abc", -1);
    WriteInteger(4);
    EndWrite();
    CloseUnit(50);
    EXPECT_EQ(Slurp(dir / "neg.txt"), "           4\r\n");
}

}  // namespace
