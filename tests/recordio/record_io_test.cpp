// The record I/O layer through its entry points: the formatter and the reader
// as tables of cases worked out by hand from the editing rules, the console's
// byte stream, files and units, pause and stop.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "recordio/recordio.h"

namespace fs = std::filesystem;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// Console streams replaced by strings, and a scratch folder as the current
// directory.
class Rio : public ::testing::Test {
protected:
    std::istringstream in;
    std::ostringstream out;
    fs::path dir, old = fs::current_path();

    void SetUp() override {
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
        dir = fs::temp_directory_path() / ("korvo-rio-" + std::to_string(std::random_device()()));
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        fs::current_path(old);
        fs::remove_all(dir);
    }
    [[gnu::noinline]] void Input(const std::string& s) {
        in.str(s);
        in.clear();
    }
    std::string Take() {
        std::string s = out.str();
        out.str("");
        return s;
    }
    static std::string Slurp(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    static void Put(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
    // Names in the folder, sorted, joined by blanks.
    std::string Listing() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        std::string s;
        for (const auto& n : v) s += n + " ";
        return s;
    }
};

// "\n" in a table stands for the CR LF that ends every file record.
std::string Crlf(const std::string& s) {
    std::string r;
    for (char c : s) r += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return r;
}

std::string Report(const std::string& head, const std::string& text) {
    return "\r\nrun-time error " + head + "\r\n- " + text + "\r\n";
}

// The run-time error report of what f does ("none" when it ends normally).
template <class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const RunTimeError& e) {
        return e.what();
    }
    return "none";
}

// ---- Formatter ---------------------------------------------------------------

using Item = std::variant<int32_t, int16_t, float, Text14, Text50, const char*>;
struct WriteCase {
    const char* fmt;  // nullptr: free format
    std::vector<Item> items;
    std::string want;  // the file bytes, "\n" for each record end
};

std::string B(int n) { return std::string(n, ' '); }
const std::string kLong(100, 'x');

TEST_F(Rio, FormatterCases) {
    const WriteCase cases[] = {
        // Iw: right-justified, asterisks when too narrow.
        {"(I2)", {5}, " 5\n"}, {"(I2)", {-5}, "-5\n"}, {"(I2)", {123}, "**\n"}, {"(I2)", {100}, "**\n"},
        {"(I3)", {0}, "  0\n"}, {"(I5)", {-1234}, "-1234\n"}, {"(I4)", {-1234}, "****\n"},
        {"(I5)", {int16_t(1999)}, " 1999\n"},
        // Fw.d: no leading zero, no minus on a printed zero, at most 7 digits.
        {"(F8.1)", {1234.56f}, "  1234.6\n"}, {"(F8.1)", {0.04f}, "      .0\n"}, {"(F8.1)", {-0.04f}, "      .0\n"},
        {"(F8.1)", {0.05f}, "      .1\n"}, {"(F8.1)", {123456789.0f}, "********\n"}, {"(F6.1)", {-0.25f}, "   -.3\n"},
        {"(F6.3)", {0.5f}, "  .500\n"}, {"(F6.1)", {-0.0f}, "    .0\n"}, {"(F9.1)", {-1.0f}, "     -1.0\n"},
        {"(F10.2)", {123456.78f}, " 123456.80\n"}, {"(F9.3)", {12345.678f}, "12345.680\n"},
        {"(F6.2)", {9.999f}, " 10.00\n"}, {"(F6.2)", {99.999f}, "100.00\n"}, {"(F5.2)", {99.999f}, "*****\n"},
        {"(F8.4)", {-0.00004f}, "   .0000\n"}, {"(F8.4)", {0.00005f}, "   .0000\n"}, {"(F8.4)", {0.00006f}, "   .0001\n"},
        {"(F8.4)", {0.0123f}, "   .0123\n"}, {"(F8.3)", {1e-20f}, "    .000\n"},
        // Gw.d: the form chosen on the exponent before rounding.
        {"(G10.3)", {0.0f}, "  .000    \n"}, {"(G10.3)", {-0.0f}, "  .000    \n"}, {"(G10.3)", {1.0f}, "  1.00    \n"},
        {"(G10.3)", {-0.5f}, " -.500    \n"}, {"(G10.3)", {0.1f}, "  .100    \n"}, {"(G10.3)", {123.4f}, "  123.    \n"},
        {"(G10.3)", {9.9996f}, "  10.0    \n"}, {"(G10.3)", {999.6f}, " 1000.    \n"}, {"(G10.3)", {0.9996f}, "  1.00    \n"},
        {"(G10.3)", {1000.0f}, "  .100E+04\n"}, {"(G10.3)", {-12345.0f}, " -.123E+05\n"},
        {"(G10.3)", {0.05f}, "  .500E-01\n"}, {"(G10.3)", {0.0999f}, "  .999E-01\n"},
        {"(G10.3)", {0.09996f}, "  .100E+00\n"}, {"(G10.3)", {std::nextafter(0.1f, 0.0f)}, "  .100E+00\n"},
        {"(G10.3)", {1e38f}, "  .100E+39\n"}, {"(G9.2)", {12345.0f}, "  .12E+05\n"}, {"(G9.2)", {-0.001f}, " -.10E-02\n"},
        {"(G9.3)", {-12345.0f}, "-.123E+05\n"}, {"(G9.3)", {-123456789.0f}, "-.123E+09\n"},
        {"(G14.7)", {123456.78f}, "  123456.8    \n"}, {"(G15.6)", {1e-10f}, "    .100000E-09\n"},
        {"(G12.4)", {-0.0f}, "   .0000    \n"}, {"(G11.4)", {9999.5f}, " 10000.    \n"},
        {"(G15.6)", {95.49296f}, "    95.4930    \n"},
        // Non-finite reals fill the field.
        {"(F6.2)", {kNaN}, "******\n"}, {"(F8.1)", {-kInf}, "********\n"}, {"(G10.3)", {kInf}, "**********\n"},
        {nullptr, {kNaN, kInf, -kInf}, B(13) + "NaN" + B(13) + "Inf" + B(12) + "-Inf\n"},
        // Aw, literals, nX, groups, slashes.
        {"(A14)", {Text14("model.dat")}, "model.dat     \n"}, {"(2X,'TITLE: ',A50)", {Text50("ROTOR")}, "  TITLE: ROTOR" + B(45) + "\n"},
        {"(2X,'Iteration No.',I4,'  Rotor Speed =',F9.1,' RPM ... ')", {3, 1500.0f},
         "  Iteration No.   3  Rotor Speed =   1500.0 RPM ... \n"},
        {"(/,2X,'Total Number of Degrees Of Freedom ',I3,/)", {396}, "\n  Total Number of Degrees Of Freedom 396\n\n"},
        {"(78('_'))", {}, std::string(78, '_') + "\n"}, {"(33X,10('_'),2X,10('_'))", {}, B(33) + std::string(10, '_') + B(2) + std::string(10, '_') + "\n"},
        {"(6(2X,G9.3))", {1.f, 2.f, 3.f, 4.f, 5.f, 6.f}, "   1.00       2.00       3.00       4.00       5.00       6.00    \n"},
        {"(2I3,1X,2F4.1)", {1, 2, 0.5f, 1.5f}, "  1  2   .5 1.5\n"}, {"('It''s',I2)", {1}, "It's 1\n"},
        {"( I2 , F6 .2 )", {5, 1.5f}, " 5  1.50\n"},  // blanks between descriptors and in a descriptor
        {"(1X,3(I2,'|'))", {1, 2}, "  1| 2|\n"},  // the list ends inside a group
        {"(2X,'#',I3,' >',3X)", {5}, "  #  5 >\n"}, {"(1X,'abc',I3,'def')", {}, " abc\n"},
        {"(1X,'H',2(I2))", {1, 2, 3}, " H 1 2\n 3\n"}, {"(1X,2I3)", {1, 2, 3, 4, 5}, "   1  2\n   3  4\n   5\n"},
        {"(5(G10.3,2X))", {1000.0f, 1.0e5f, 25.0f, -25.0f, 1.0e5f},
         "  .100E+04" + B(4) + ".100E+06" + B(4) + "25.0" + B(7) + "-25.0" + B(8) + ".100E+06\n"},
        // Free format: 11 columns for an integer, 15 for a real, a blank
        // between numbers, none around texts, 79 columns to a record.
        {nullptr, {5}, B(11) + "5\n"}, {nullptr, {1.5f, 0.001f}, "        1.500000    1.000000E-03\n"}, {nullptr, {}, " \n"},
        {nullptr, {123.456f}, "      123.456000\n"}, {nullptr, {9999999.0f}, "  9999999.000000\n"},
        {nullptr, {1e7f}, "    1.000000E+07\n"}, {nullptr, {-0.0f}, "    0.000000E+00\n"},
        {nullptr, {-0.5f}, "   -5.000000E-01\n"}, {nullptr, {std::nextafter(1.0f, 0.0f)}, "    9.999999E-01\n"},
        {nullptr, {-2.5e-30f}, "   -2.500000E-30\n"}, {nullptr, {" N =", 5, 6}, "  N =          5           6\n"},
        {nullptr, {int32_t(-2147483647 - 1)}, " -2147483648\n"},
        {nullptr, {1, 1.f, 2.f, 3.f, 4.f, 5.f, 6.f},
         B(11) + "1" + B(8) + "1.000000" + B(8) + "2.000000" + B(8) + "3.000000" + B(8) + "4.000000\n" + B(9) + "5.000000" +
             B(8) + "6.000000\n"},
        {nullptr, {1.f, 2.f, 3.f, 4.f, 5.f}, B(8) + "1.000000" + B(8) + "2.000000" + B(8) + "3.000000" + B(8) + "4.000000\n" + B(9) + "5.000000\n"},
        {nullptr, {1, 2, 3, 4, 5, 6, 7}, B(11) + "1" + B(11) + "2" + B(11) + "3" + B(11) + "4" + B(11) + "5" + B(11) + "6\n" + B(12) + "7\n"},
        {nullptr, {kLong.c_str()}, " " + std::string(79, 'x') + "\n " + std::string(21, 'x') + "\n"},
        {nullptr, {5, kLong.c_str()}, B(11) + "5" + std::string(68, 'x') + "\n " + std::string(32, 'x') + "\n"},
    };
    int n = 0;
    for (const WriteCase& c : cases) {
        const std::string name = "f" + std::to_string(++n);
        ASSERT_EQ(OpenUnit(50, Text14(name), Text3("NEW")), 0);
        BeginWrite(50, c.fmt);
        for (const Item& it : c.items)
            std::visit([](const auto& v) { recordio_detail::WriteItem(v); }, it);
        EndWrite();
        CloseUnit(50);
        EXPECT_EQ(Slurp(name), Crlf(c.want)) << (c.fmt ? c.fmt : "free format") << " case " << n;
    }
    // An empty literal item and a reused format buffer.
    ASSERT_EQ(OpenUnit(50, Text14("g"), Text3("NEW")), 0);
    BeginWrite(50, FREE);
    WriteLiteral("abc", -1);
    WriteInteger(4);
    EndWrite();
    char buf[8] = "(I3)";
    Write(50, RuntimeFormat(buf), int32_t(7));
    std::snprintf(buf, sizeof buf, "(I5)");
    Write(50, RuntimeFormat(buf), int32_t(7));
    CloseUnit(50);
    EXPECT_EQ(Slurp("g"), Crlf(B(11) + "4\n  7\n    7\n"));
}

TEST_F(Rio, BadFormatsAndItemsEndTheRun) {
    EXPECT_EQ(ErrorOf([] { Write(CONSOLE, RuntimeFormat("(1X,I3)"), 1.0f); }), Report("F6202: WRITE(CON)", "item does not suit its edit descriptor"));
    for (const char* fmt : {"(1X,Q5)", "(1X,I3", "(1X,'abc')", "(1X,F8.2)", "(1X,'abc"})
        EXPECT_THROW(Write(CONSOLE, RuntimeFormat(fmt), int32_t(1)), RunTimeError) << fmt;
    for (const char* fmt : {"(1X,F8)", "(1X,A14)"})
        EXPECT_THROW(Write(CONSOLE, RuntimeFormat(fmt), 1.0f), RunTimeError) << fmt;
    Write(CONSOLE, "(I3)", int32_t(7));  // usable again after an error
    EXPECT_EQ(Take(), " 7");
}

// ---- Reader ------------------------------------------------------------------

// Statements of a shape: 'I' integer, 'R' real targets (starting at 9), '1'
// '4' '5' text targets of 1, 14, 50 characters; ',' between statements. The
// outcome lists the targets of each statement, '|' between statements, and
// ends in "!" and the error number when a statement ends the run.
std::string RunReads(int unit, const std::string& shapes) {
    std::string got;
    std::stringstream ss(shapes);
    std::string shape;
    try {
        while (std::getline(ss, shape, ',')) {
            if (!got.empty()) got += "|";
            if (shape[0] == '1' || shape[0] == '4' || shape[0] == '5') {
                Text50 t("#");
                const int w = shape[0] == '1' ? 1 : shape[0] == '4' ? 14 : 50;
                BeginRead(unit, w == 1 ? "(A1)" : w == 14 ? "(A14)" : "(A50)");
                ReadText(t.c, w);
                EndRead();
                got += std::string(t.c, w);
                continue;
            }
            std::vector<int32_t> iv(shape.size(), 9);
            std::vector<float> rv(shape.size(), 9.0f);
            BeginRead(unit, FREE);
            for (size_t k = 0; k < shape.size(); ++k) shape[k] == 'I' ? ReadInteger(iv[k]) : ReadReal(rv[k]);
            EndRead();
            for (size_t k = 0; k < shape.size(); ++k) {
                char b[32];
                std::snprintf(b, sizeof b, "%.9g", double(rv[k]));
                got.append(k ? " " : "").append(shape[k] == 'I' ? std::to_string(iv[k]) : std::string(b));
            }
        }
    } catch (const RunTimeError& e) {
        got += "!" + std::to_string(e.number);
    }
    return got;
}

TEST_F(Rio, ReaderCases) {
    const struct {
        const char* input;
        const char* shapes;
        const char* want;
    } cases[] = {
        {"  12  \n12,13\n\n\n7\n/\n+8 -9\n-2147483648\n2147483647\n-\n", "I,I,I,I,II,I,I,I", "12|12|7|9|8 -9|-2147483648|2147483647|!6101"},
        {"1.5 -.5 5. 2 1e5 1.5D-3 2d2 -3.0E+01 7.25e-1\n", "RRRRRRRRR", "1.5 -0.5 5 2 100000 0.00150000001 200 -30 0.725000024"},
        {"NaN inf -Inf\nNaN\n", "RRR,I", "nan inf -inf|!6101"},
        {"1,,3\n , 5 \t, \t 6\n1\t2 ,  , \n", "RRR,RRR,RRR", "1 9 3|9 5 6|1 2 9"},
        {"3*2.5\n2* 4\n1 / 2 3\n4\n5\n , 6 7\n", "RRR,RRR,RRR,R,RRR", "2.5 2.5 2.5|9 9 4|1 9 9|4|5 6 7"},
        {"1.5\n", "I", "!6101"},  {"abc\n", "I", "!6101"}, {"12x\n", "I", "!6101"}, {"'12'\n", "I", "!6101"},
        {"--1\n", "I", "!6101"}, {"2147483648\n", "I", "!6102"}, {"1.2.3\n", "R", "!6103"}, {".\n", "R", "!6103"},
        {"1e\n", "R", "!6103"}, {"1e5x\n", "R", "!6103"}, {"'1.0'\n", "R", "!6103"}, {"1e99\n", "R", "!6104"},
        {"E5\n", "R", "!6103"}, {"", "I", "!6501"},
        {"y\n\nabcdefghijklmnopqrst\nab\r\nfree text\n", "1,1,4,4", "y| |abcdefghijklmn|ab            "},
    };
    for (const auto& c : cases) {
        Input(c.input);
        EXPECT_EQ(RunReads(CONSOLE, c.shapes), c.want) << c.input;
    }
    // The reports name the statement, the unit and the error.
    Input("1.5\n");
    int32_t n = 0;
    EXPECT_EQ(ErrorOf([&] { Read(CONSOLE, FREE, n); }), Report("F6101: READ(CON)", "invalid integer"));
    // A file: values cross records, the rest of a line is skipped, LF or CR LF.
    Put("data.dat", "1.0 2.0 3.0\r\n4.0\r\n1 2 3 4\n5 6\n7\n");
    ASSERT_EQ(OpenUnit(8, Text14("data.dat"), Text3("OLD")), 0);
    EXPECT_EQ(RunReads(8, "R,R,RRRRRR,I,I"), "1|4|1 2 3 4 5 6|7|!6501");
    EXPECT_EQ(ErrorOf([&] { Read(8, FREE, n); }), Report("F6501: READ(data.dat)", "end of file"));
}

TEST_F(Rio, StatusModeReturnsErrorsAndEndOfFile) {
    Put("curve.dat", "1.5\n\n2.5\nabc\n");
    ASSERT_EQ(OpenUnit(1, Text14("curve.dat"), Text3("OLD")), 0);
    float x = 0, y = 0;
    EXPECT_EQ(ReadWithStatus(1, FREE, x), 0);
    EXPECT_EQ(ReadWithStatus(1, FREE, y), 0);  // the empty line is skipped
    EXPECT_EQ(ReadWithStatus(1, FREE, x), 6103);
    EXPECT_EQ(ReadWithStatus(1, FREE, x), -1);
    EXPECT_EQ(x + y, 4.0f);
    RewindUnit(1);
    BeginRead(1, FREE, true);
    EXPECT_EQ(ReadReal(x) + ReadReal(y), 0);  // one statement across the empty record
    EXPECT_EQ(EndRead(), 0);
    EXPECT_EQ(y, 2.5f);
}

// ---- Console -----------------------------------------------------------------

// Steps: "w<fmt>" formatted write, "f<text>" free-format write, "r" integer
// read, "p<msg>" pause ("p" alone: no message), "s<msg>" stop, "c" close of
// the console, "d" shutdown of the units.
void RunConsoleSteps(const std::vector<std::string>& steps) {
    for (const std::string& s : steps) {
        const std::string arg = s.substr(1);
        int32_t n = 0;
        switch (s[0]) {
            case 'w': Write(CONSOLE, RuntimeFormat(arg.c_str())); break;
            case 'f': Write(CONSOLE, FREE, arg.c_str()); break;
            case 'r': Read(CONSOLE, FREE, n); break;
            case 'p': PauseForCommand(arg.empty() ? nullptr : arg.c_str()); break;
            case 's': EXPECT_THROW(StopRun(arg.empty() ? nullptr : arg.c_str()), ProgramStop); break;
            case 'c': CloseUnit(CONSOLE); break;
            case 'd': ShutDownUnits(); break;
        }
    }
}

TEST_F(Rio, ConsoleByteStreams) {
    const struct {
        const char* input;
        std::vector<std::string> steps;
        std::string want;
    } cases[] = {
        // The line advance comes before a record; a read ends the pending line.
        {"5\n2\n", {"w(2X,'NSTA = ')", "r", "w(2X,'NDISC = ')", "r", "w(1X,'Thank you')"}, " NSTA = \r\n NDISC = \r\nThank you"},
        // Leading slashes give the same screen with or without a pending line.
        {"", {"w(/,/,5X,'Searching',/,/)", "w(/,/,5X,'Searching',/,/)", "w(1X,'next')"},
         "\r\n\r\n    Searching\r\n\r\n\r\n\r\n\r\n    Searching\r\n\r\n\r\nnext"},
        {"", {"w('0','zero')", "w('0','two')", "w('+','over')", "w('1','page')", "w('Xtext')", "w(2X,'a',/,5X,'b')", "f done ...", "c", "w(1X,'x')"},
         "\r\nzero\r\n\r\ntwo\rover\r\n\f\r \rpage\r\ntext\r\n a\r\n    b\r\n done ...\r\nx"},
        // A pause ends a pending line and keeps it pending.
        {"\n", {"w(1X,'Type DIR')", "p Press <enter> when done ...", "w(1X,'Menu')"}, "Type DIR\r\n Press <enter> when done ...\r\n\r\nMenu"},
        {"   \t \n", {"p", "w(1X,'Menu')"}, "Pause - Please enter a blank line (to continue) or a DOS command.\r\nMenu"},
        {"", {"w(1X,'Choice > ')", "s done ..."}, "Choice > \r\n done ...\r\n"},
        {"", {"s"}, "Stop - Program terminated.\r\n"},
        {"", {"w(1X,'prompt')", "d", "d"}, "prompt\r\n"},
    };
    for (const auto& c : cases) {
        ResetRecordIo();
        Input(c.input);
        Take();
        RunConsoleSteps(c.steps);
        EXPECT_EQ(Take(), c.want) << c.steps[0];
    }
    Input("");
    EXPECT_THROW(PauseForCommand("Singular matrix."), RunTimeError);  // end of input at a pause
}

TEST_F(Rio, PauseHandsTheLineToTheCommandInterpreter) {
    const std::string saved = std::getenv("COMSPEC") ? std::getenv("COMSPEC") : "";
    Put("interp.sh", "#!/bin/sh\nprintf '%s|%s' \"$1\" \"$2\" > '" + (dir / "args").string() + "'\n");
    fs::permissions(dir / "interp.sh", fs::perms::owner_all);
    setenv("COMSPEC", (dir / "interp.sh").c_str(), 1);
    Input("dir  \t\n");  // trailing blanks and tabs removed
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_EQ(Slurp("args"), "/c|dir");
    // A missing interpreter falls back to the shell; a line is cut at 128.
    setenv("COMSPEC", (dir / "none").c_str(), 1);
    std::string cmd = "touch '" + (dir / "A").string() + "'";
    cmd += std::string(128 - cmd.size(), ' ') + "; touch '" + (dir / "B").string() + "'";
    Input(cmd + "\n");
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_TRUE(fs::exists(dir / "A"));
    EXPECT_FALSE(fs::exists(dir / "B"));
    saved.empty() ? unsetenv("COMSPEC") : setenv("COMSPEC", saved.c_str(), 1);
}

// ---- Files and units ---------------------------------------------------------

TEST_F(Rio, OpenRulesAndConnections) {
    Put("model.dat", "keep me\r\n");
    EXPECT_EQ(OpenUnit(8, Text14("model.dat"), Text3("NEW")), OPEN_FILE_EXISTS);
    EXPECT_EQ(OpenUnit(8, Text14("missing.dat"), Text3("OLD")), OPEN_FILE_NOT_FOUND);
    EXPECT_NE(OpenUnit(8, Text14("."), Text3("OLD")), 0);
    EXPECT_NE(OpenUnit(8, Text14("x.dat"), Text3("ABC")), 0);
    EXPECT_FALSE(UnitIsOpen(8));
    EXPECT_EQ(Listing(), "model.dat ");
    EXPECT_EQ(ErrorOf([] { OpenUnit(8, Text14("missing.dat"), Text3("OLD"), false); }), Report("F6416: OPEN(missing.dat)", "file not found"));
    // A file connected to one unit is refused to another, under any name.
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    fs::create_symlink(dir / "model.dat", dir / "link.dat");
    for (const char* name : {"model.dat", "./model.dat", "link.dat"})
        EXPECT_EQ(OpenUnit(9, Text14(name), Text3("OLD")), OPEN_FILE_CONNECTED) << name;
    EXPECT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);  // its own unit may open it again
    int32_t n = 0;  // reads the file from its start, and the report names it
    EXPECT_EQ(ErrorOf([&] { Read(8, FREE, n); }), Report("F6101: READ(model.dat)", "invalid integer"));
    // Opening a connected unit closes its old file.
    ASSERT_EQ(OpenUnit(9, Text14("one.txt"), Text3("NEW")), 0);
    Write(9, "('first')");
    ASSERT_EQ(OpenUnit(9, Text14("two.txt"), Text3("NEW")), 0);
    CloseUnit(9);
    EXPECT_EQ(Slurp("one.txt"), "first\r\n");
    EXPECT_EQ(Slurp("two.txt"), "");
    EXPECT_EQ(ErrorOf([] { Write(12, FREE, 1.0f); }), Report("F6603: WRITE(12)", "unit not connected"));
}

TEST_F(Rio, WritingEndsTheFileAtTheLastRecord) {
    std::string hundred;
    for (int i = 1; i <= 100; ++i) hundred += "old line " + std::to_string(i) + "\r\n";
    Put("model.dat", hundred);
    fs::permissions(dir / "model.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("model.dat", dir / "link.dat");
    ASSERT_EQ(OpenUnit(8, Text14("link.dat"), Text3("OLD")), 0);
    for (int32_t i = 1; i <= 3; ++i) Write(8, "(I2)", i);
    EXPECT_EQ(Slurp("model.dat"), hundred);  // replaced only at the close
    CloseUnit(8);
    EXPECT_EQ(Slurp("model.dat"), " 1\r\n 2\r\n 3\r\n");
    struct stat st {};
    ASSERT_EQ(lstat("link.dat", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat("model.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Reads, then a write: the file ends after the record written. Written,
    // rewound, read back and rewritten, as the eigenvalue files and the report.
    Put("f.dat", "a\r\nb\r\nc\r\nd\r\n");
    ASSERT_EQ(OpenUnit(8, Text14("f.dat"), Text3("OLD")), 0);
    EXPECT_EQ(RunReads(8, "1,1"), "a|b");
    Write(8, "('X')");
    ASSERT_EQ(OpenUnit(11, Text14("eig.dat"), Text3("NEW")), 0);
    Write(11, FREE, 1.0f, 2.0f);
    Write(11, FREE, 3.0f);
    RewindUnit(11);
    EXPECT_EQ(RunReads(11, "RRR"), "1 2 3");
    RewindUnit(11);
    Write(11, "('short')");
    CloseUnit(11, "KEEP");
    CloseUnit(8);
    EXPECT_EQ(Slurp("f.dat"), "a\r\nb\r\nX\r\n");
    EXPECT_EQ(Slurp("eig.dat"), "short\r\n");
    ASSERT_EQ(OpenUnit(21, Text14("plot.dat"), Text3("OLD")), OPEN_FILE_NOT_FOUND);
    ASSERT_EQ(OpenUnit(21, Text14("plot.dat"), Text3("NEW")), 0);
    Write(21, FREE, 1.0f);
    CloseUnit(21, "DELETE");
    CloseUnit(21);  // not connected: nothing happens
    ASSERT_EQ(OpenUnit(8, Text14("f.dat"), Text3("OLD")), 0);
    Write(8, "('y')");
    CloseUnit(8, "DELETE");  // a replaced file deleted: both gone
    EXPECT_EQ(Listing(), "eig.dat link.dat model.dat ");
}

// Writes beyond `bytes` fail as on a full disk (EFBIG, no signal).
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, SIG_IGN);
        rlimit r = old;
        r.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

TEST_F(Rio, AFailedCloseIsReportedAndKeepsTheOldFile) {
    // Records still buffered when the stop or a new open closes the unit: the
    // close fails, the run ends with the report, and the old file stays.
    for (int how = 0; how < 2; ++how) {
        Put("model.dat", "old\r\n");
        ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
        for (int i = 0; i < 3; ++i) Write(8, "(40('x'))");
        std::string report = "none";
        {
            FileSizeLimit limit(10);
            try {
                how == 0 ? StopRun(" done ...") : (void)OpenUnit(8, Text14("b.dat"), Text3("NEW"));
            } catch (const RunTimeError& e) {
                report = e.what();
            } catch (const ProgramStop&) {
                report = "stop";
            }
        }
        EXPECT_EQ(report, Report("F6601: CLOSE(model.dat)", "write error")) << how;
        EXPECT_EQ(Slurp("model.dat"), "old\r\n");
        EXPECT_EQ(Listing(), "model.dat ");
        ResetRecordIo();
    }
}

TEST_F(Rio, BlankNamesComeFromTheCommandLineThenFromThePrompt) {
    Put("a.dat", "A\n");
    Put("b.dat", "B\n");
    Put("c.dat", "C\n");
    char prog[] = "korvo", a[] = "a.dat", b[] = "b.dat";
    char* argv[] = {prog, a, b, nullptr};
    SetCommandLine(3, argv);
    ASSERT_EQ(OpenUnit(8, Text14(), Text3("OLD")), 0);
    ASSERT_EQ(OpenUnit(1, Text14(), Text3("OLD")), 0);
    Write(CONSOLE, "(1X,'pending')");
    Input("\n   \nc.dat\n");
    ASSERT_EQ(OpenUnit(2, Text14(), Text3("OLD")), 0);
    EXPECT_EQ(RunReads(8, "1") + RunReads(1, "1") + RunReads(2, "1"), "ABC");
    const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 2? ";
    EXPECT_EQ(Take(), "pending\r\n" + prompt + prompt + prompt);
}

TEST_F(Rio, ReadOnlyFileIsReadableAndAWriteEndsTheRun) {
    Put("ro.dat", "42\r\n");
    fs::permissions(dir / "ro.dat", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    bool immutable = false;
    if (access("ro.dat", W_OK) == 0) immutable = std::system(("chattr +i '" + (dir / "ro.dat").string() + "' 2>/dev/null").c_str()) == 0;
    if (access("ro.dat", W_OK) == 0 && !immutable) GTEST_SKIP() << "cannot make a file unwritable here";
    ASSERT_EQ(OpenUnit(8, Text14("ro.dat"), Text3("OLD")), 0);
    EXPECT_TRUE(!UnitIsWritable(8) && UnitIsWritable(CONSOLE));  // what the overwrite dialog asks
    EXPECT_EQ(RunReads(8, "I"), "42");
    RewindUnit(8);
    const std::string report = ErrorOf([] { Write(8, FREE, int32_t(1)); });
    CloseUnit(8);
    if (immutable) (void)std::system(("chattr -i '" + (dir / "ro.dat").string() + "' 2>/dev/null").c_str());
    EXPECT_EQ(report, Report("F6602: WRITE(ro.dat)", "file is read-only"));
    EXPECT_EQ(Slurp("ro.dat"), "42\r\n");
}

}  // namespace
