// Units and files: the OLD and NEW rules, sequential writing, close and
// rewind, blank names, the connection check and read-only files.
#include <unistd.h>

#include <cstdlib>

#include "tests/recordio/rio_test.h"

namespace {

using Units = RecordIoTest;

TEST_F(Units, NewOnAnExistingFileFailsAndLeavesItUntouched) {
    Put("model.dat", "keep me\r\n");
    EXPECT_EQ(OpenUnit(8, Text14("model.dat"), Text3("NEW")), OPEN_FILE_EXISTS);
    EXPECT_FALSE(UnitIsOpen(8));
    EXPECT_EQ(Slurp(dir / "model.dat"), "keep me\r\n");
    EXPECT_EQ(OpenUnit(8, Text14("missing.dat"), Text3("OLD")), OPEN_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(dir / "missing.dat"));
    EXPECT_NE(OpenUnit(8, Text14("."), Text3("OLD")), 0);  // a directory
    EXPECT_NE(OpenUnit(8, Text14("x.dat"), Text3("ABC")), 0);
}

TEST_F(Units, OpenFailureWithoutErrorReturnEndsTheRun) {
    try {
        OpenUnit(8, Text14("missing.dat"), Text3("OLD"), false);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(std::string(e.what()), Report("F6416: OPEN(missing.dat)", "file not found"));
    }
}

TEST_F(Units, NewCreatesAnEmptyFileAndRecordsEndInCrLf) {
    ASSERT_EQ(OpenUnit(9, Text14("out.txt"), Text3("NEW")), 0);
    EXPECT_TRUE(fs::exists(dir / "out.txt"));
    EXPECT_EQ(fs::file_size(dir / "out.txt"), 0u);
    Write(9, "(2X,'TITLE: ',A50)", Text50("T"));
    Write(9, FREE, int32_t(3));
    CloseUnit(9, "KEEP");
    EXPECT_EQ(Slurp(dir / "out.txt"), "  TITLE: T" + std::string(49, ' ') + "\r\n" + "           3\r\n");
}

TEST_F(Units, OldThenThreeRecordsOverAHundredLinesLeavesThreeLines) {
    std::string hundred;
    for (int i = 1; i <= 100; ++i) hundred += "old line " + std::to_string(i) + "\r\n";
    Put("model.dat", hundred);
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    for (int32_t i = 1; i <= 3; ++i) Write(8, "(I2)", i);
    CloseUnit(8);
    EXPECT_EQ(Slurp(dir / "model.dat"), " 1\r\n 2\r\n 3\r\n");
}

TEST_F(Units, WritingAfterReadsOrARewindEndsTheFileThere) {
    Put("f.dat", "a\r\nb\r\nc\r\nd\r\n");
    ASSERT_EQ(OpenUnit(8, Text14("f.dat"), Text3("OLD")), 0);
    Text1 t;
    Read(8, "(A1)", t);
    Read(8, "(A1)", t);
    EXPECT_EQ(t.c[0], 'b');
    Write(8, "('X')");
    CloseUnit(8);
    EXPECT_EQ(Slurp(dir / "f.dat"), "a\r\nb\r\nX\r\n");

    // written, rewound and read back (the eigenvalue files), then rewritten
    ASSERT_EQ(OpenUnit(11, Text14("eig.dat"), Text3("NEW")), 0);
    Write(11, FREE, 1.0f, 2.0f);
    Write(11, FREE, 3.0f);
    RewindUnit(11);
    float a = 0, b = 0, c = 0;
    Read(11, FREE, a, b, c);
    EXPECT_EQ(a, 1.0f);
    EXPECT_EQ(b, 2.0f);
    EXPECT_EQ(c, 3.0f);
    RewindUnit(11);
    Write(11, "('short')");
    CloseUnit(11);
    EXPECT_EQ(Slurp(dir / "eig.dat"), "short\r\n");
}

TEST_F(Units, CloseWithDeleteRemovesTheFile) {
    ASSERT_EQ(OpenUnit(21, Text14("plot.dat"), Text3("NEW")), 0);
    Write(21, FREE, 1.0f);
    CloseUnit(21, "DELETE");
    EXPECT_FALSE(fs::exists(dir / "plot.dat"));
    CloseUnit(21);  // not connected: nothing happens
    RewindUnit(21);
    EXPECT_FALSE(UnitIsOpen(21));
}

TEST_F(Units, WriteToAnUnconnectedUnitEndsTheRun) {
    try {
        Write(12, FREE, 1.0f);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(std::string(e.what()), Report("F6603: WRITE(12)", "unit not connected"));
    }
}

TEST_F(Units, BlankNamesComeFromTheCommandLineThenFromThePrompt) {
    Put("a.dat", "A\n");
    Put("b.dat", "B\n");
    Put("c.dat", "C\n");
    char prog[] = "korvo", a[] = "a.dat", b[] = "b.dat";
    char* argv[] = {prog, a, b, nullptr};
    SetCommandLine(3, argv);
    const Text14 blank;
    Text1 t;
    ASSERT_EQ(OpenUnit(8, blank, Text3("OLD")), 0);
    Read(8, "(A1)", t);
    EXPECT_EQ(t.c[0], 'A');
    ASSERT_EQ(OpenUnit(1, blank, Text3("OLD")), 0);
    Read(1, "(A1)", t);
    EXPECT_EQ(t.c[0], 'B');
    EXPECT_EQ(Take(), "");  // no prompt so far
    // arguments used up: the prompt, repeated while the reply is empty
    Write(CONSOLE, "(1X,'pending')");
    Input("\n   \nc.dat\n");
    ASSERT_EQ(OpenUnit(2, blank, Text3("OLD")), 0);
    Read(2, "(A1)", t);
    EXPECT_EQ(t.c[0], 'C');
    const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 2? ";
    EXPECT_EQ(Take(), "pending\r\n" + prompt + prompt + prompt);
}

TEST_F(Units, AFileConnectedToAnotherUnitIsRefused) {
    Put("model.dat", "1\n");
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    EXPECT_EQ(OpenUnit(9, Text14("model.dat"), Text3("OLD")), OPEN_FILE_CONNECTED);
    EXPECT_EQ(OpenUnit(9, Text14("./model.dat"), Text3("OLD")), OPEN_FILE_CONNECTED);
    fs::create_symlink(dir / "model.dat", dir / "link.dat");
    EXPECT_EQ(OpenUnit(9, Text14("link.dat"), Text3("OLD")), OPEN_FILE_CONNECTED);
    EXPECT_FALSE(UnitIsOpen(9));
    EXPECT_EQ(Slurp(dir / "model.dat"), "1\n");
    // the same unit may be opened again on its own file
    EXPECT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    CloseUnit(8);
    EXPECT_EQ(OpenUnit(9, Text14("model.dat"), Text3("OLD")), 0);
}

TEST_F(Units, OpeningAConnectedUnitClosesItsOldFile) {
    ASSERT_EQ(OpenUnit(9, Text14("one.txt"), Text3("NEW")), 0);
    Write(9, "('first')");
    ASSERT_EQ(OpenUnit(9, Text14("two.txt"), Text3("NEW")), 0);
    Write(9, "('second')");
    CloseUnit(9);
    EXPECT_EQ(Slurp(dir / "one.txt"), "first\r\n");
    EXPECT_EQ(Slurp(dir / "two.txt"), "second\r\n");
}

TEST_F(Units, AWriteFailureEndsTheRun) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(OpenUnit(9, Text14("/dev/full"), Text3("OLD")), 0);
    try {
        for (int i = 0; i < 1000; ++i) Write(9, "(78('x'))");
        CloseUnit(9);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number, 6601);
        const std::string what = e.what();
        EXPECT_TRUE(what == Report("F6601: WRITE(/dev/full)", "write error") ||
                    what == Report("F6601: CLOSE(/dev/full)", "write error"))
            << what;
    }
}

// A file that may not be written: mode 0444, or immutable where the tests
// run with the rights to write anyway.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const fs::path& p) : p_(p) {
        fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        if (access(p.c_str(), W_OK) == 0) {
            immutable_ = std::system(("chattr +i '" + p.string() + "' 2>/dev/null").c_str()) == 0;
        }
    }
    ~ReadOnlyFile() {
        if (immutable_) (void)std::system(("chattr -i '" + p_.string() + "' 2>/dev/null").c_str());
        fs::permissions(p_, fs::perms::owner_all);
    }
    bool unwritable() const {
        FILE* f = std::fopen(p_.c_str(), "r+");
        if (f) std::fclose(f);
        return f == nullptr;
    }

private:
    fs::path p_;
    bool immutable_ = false;
};

TEST_F(Units, ReadOnlyFileIsReadableAndAWriteEndsTheRun) {
    Put("ro.dat", "42\r\n");
    ReadOnlyFile guard(dir / "ro.dat");
    if (!guard.unwritable()) GTEST_SKIP() << "cannot make a file unwritable here";
    ASSERT_EQ(OpenUnit(8, Text14("ro.dat"), Text3("OLD")), 0);
    int32_t n = 0;
    Read(8, FREE, n);
    EXPECT_EQ(n, 42);
    RewindUnit(8);
    try {
        Write(8, FREE, n);
        FAIL() << "no error";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(std::string(e.what()), Report("F6602: WRITE(ro.dat)", "file is read-only"));
    }
    CloseUnit(8);
    EXPECT_EQ(Slurp(dir / "ro.dat"), "42\r\n");
}

}  // namespace
