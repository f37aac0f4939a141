// Overwriting an existing file: the new records replace the old file only
// when the unit is closed after every write succeeded. A write that fails
// part-way (here a file-size limit, which fails like a full disk) ends the
// run and leaves the old file as it was, with no temporary file left over.
#include <sys/stat.h>

#include <algorithm>

#include "tests/recordio/file_size_limit.h"
#include "tests/recordio/rio_test.h"

namespace {

class Replace : public RecordIoTest {
protected:
    // Names in the folder other than the given ones (left-over files).
    std::string Others(std::initializer_list<std::string> known) const {
        std::string extra;
        for (const auto& e : fs::directory_iterator(dir)) {
            const std::string n = e.path().filename().string();
            if (std::find(known.begin(), known.end(), n) == known.end()) extra += n + " ";
        }
        return extra;
    }
    static std::string Lines(int n, const std::string& what) {
        std::string t;
        for (int i = 1; i <= n; ++i) t += what + " " + std::to_string(i) + "\r\n";
        return t;
    }
};

TEST_F(Replace, AFailedOverwriteLeavesTheOldFileWhole) {
    const std::string old = Lines(40, "old record");
    Put("model.dat", old);
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    std::string report;
    {
        FileSizeLimit limit(old.size() / 2);
        ASSERT_TRUE(limit.ok());
        try {
            for (int i = 0; i < 200; ++i) Write(8, "(78('n'))");
            CloseUnit(8);
        } catch (const RunTimeError& e) {
            report = e.what();
        }
        ShutDownUnits();  // what main does after a run-time error
    }
    EXPECT_TRUE(report == Report("F6601: WRITE(model.dat)", "write error") ||
                report == Report("F6601: CLOSE(model.dat)", "write error"))
        << report;
    EXPECT_EQ(Slurp(dir / "model.dat"), old);
    EXPECT_EQ(Others({"model.dat"}), "");
}

TEST_F(Replace, OutputStillBufferedAtTheStopIsReportedInsteadOfTheStop) {
    // Three short records stay in the stream's buffer until the stop closes
    // the unit; that close fails, so the run ends with the error report and
    // the old file stays.
    Put("model.dat", Lines(5, "old"));
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    for (int i = 0; i < 3; ++i) Write(8, "(40('x'))");
    std::string report;
    {
        FileSizeLimit limit(10);
        ASSERT_TRUE(limit.ok());
        try {
            StopRun(" done ...");
        } catch (const RunTimeError& e) {
            report = e.what();
        } catch (const ProgramStop&) {
            report = "stop";
        }
    }
    EXPECT_EQ(report, Report("F6601: CLOSE(model.dat)", "write error"));
    EXPECT_FALSE(UnitIsOpen(8));
    EXPECT_EQ(Slurp(dir / "model.dat"), Lines(5, "old"));
    EXPECT_EQ(Others({"model.dat"}), "");
}

TEST_F(Replace, ReconnectingAUnitReportsTheFailedCloseOfItsFile) {
    Put("a.dat", "a\r\n");
    ASSERT_EQ(OpenUnit(8, Text14("a.dat"), Text3("OLD")), 0);
    Write(8, "(50('y'))");
    {
        FileSizeLimit limit(4);
        ASSERT_TRUE(limit.ok());
        try {
            OpenUnit(8, Text14("b.dat"), Text3("NEW"));
            FAIL() << "no error";
        } catch (const RunTimeError& e) {
            EXPECT_EQ(std::string(e.what()), Report("F6601: CLOSE(a.dat)", "write error"));
        }
    }
    EXPECT_EQ(Slurp(dir / "a.dat"), "a\r\n");
}

TEST_F(Replace, ASuccessfulOverwriteKeepsModeAndLinkAndLeavesNoTemporaryFile) {
    Put("real.dat", Lines(100, "old"));
    fs::permissions(dir / "real.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.dat", dir / "link.dat");
    ASSERT_EQ(OpenUnit(8, Text14("link.dat"), Text3("OLD")), 0);
    Write(8, "('new 1')");
    Write(8, "('new 2')");
    // Until the close the file on the disk is the old one.
    EXPECT_EQ(Slurp(dir / "real.dat"), Lines(100, "old"));
    CloseUnit(8);
    EXPECT_EQ(Slurp(dir / "real.dat"), "new 1\r\nnew 2\r\n");
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    struct stat st {};
    ASSERT_EQ(stat((dir / "real.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Others({"real.dat", "link.dat"}), "");
}

TEST_F(Replace, ReadingAnOldFileLeavesTheSameFile) {
    Put("model.dat", "1 2\r\n3 4\r\n");
    struct stat before {}, after {};
    ASSERT_EQ(stat((dir / "model.dat").c_str(), &before), 0);
    ASSERT_EQ(OpenUnit(8, Text14("model.dat"), Text3("OLD")), 0);
    int32_t a = 0, b = 0, c = 0;
    Read(8, FREE, a, b, c);
    RewindUnit(8);
    Read(8, FREE, a);
    CloseUnit(8);
    ASSERT_EQ(stat((dir / "model.dat").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(Slurp(dir / "model.dat"), "1 2\r\n3 4\r\n");
    EXPECT_EQ(Others({"model.dat"}), "");
}

TEST_F(Replace, AReportRewrittenByEveryPassEndsAsTheLastPassWroteIt) {
    // Written, rewound and read back, then rewritten from the start by each
    // of three passes, as the report and the eigenvalue files are.
    Put("rep.out", Lines(300, "old report"));
    ASSERT_EQ(OpenUnit(9, Text14("rep.out"), Text3("OLD")), 0);
    for (int32_t pass = 1; pass <= 3; ++pass) {
        RewindUnit(9);
        for (int32_t i = 1; i <= 4 - pass; ++i) Write(9, "('pass',I2,' line',I2)", pass, i);
        RewindUnit(9);
        Text<13> first;
        Read(9, "(A13)", first);
        EXPECT_EQ(first.trimmed(), "pass " + std::to_string(pass) + " line 1");
    }
    CloseUnit(9, "KEEP");
    EXPECT_EQ(Slurp(dir / "rep.out"), "pass 3 line 1\r\n");
    EXPECT_EQ(Others({"rep.out"}), "");
}

TEST_F(Replace, DeletingAReplacedFileRemovesBoth) {
    Put("gone.dat", "x\r\n");
    ASSERT_EQ(OpenUnit(8, Text14("gone.dat"), Text3("OLD")), 0);
    Write(8, "('y')");
    CloseUnit(8, "DELETE");
    EXPECT_EQ(Others({}), "");
}

}  // namespace
