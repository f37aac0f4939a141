// Nothing lost on a failed write, through the real program: a save or a
// report that overwrites an existing file on a full disk (a small tmpfs,
// where this process may mount one) ends the run with the write-error report
// and leaves the old file as it was, with no temporary file beside it. On a
// disk with room, overwritten reports and eigenvalue files end exactly as
// freshly created ones.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/session.h"

namespace fs = std::filesystem;

namespace {

SessionSetup WithExample(const std::string& name) {
    SessionSetup setup;
    setup.examples = {name};
    return setup;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A tmpfs of two pages beside the session folders, named so that a session
// reaches it as "../kfXXXXXX/<name>" within the 14 characters of a name.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "kfXXXXXX").string();
        if (!mkdtemp(tmpl.data())) GTEST_SKIP() << "cannot create a mount point";
        dir_ = tmpl;
        if (mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=8k") != 0) {
            fs::remove(dir_);
            dir_.clear();
            GTEST_SKIP() << "cannot mount a tmpfs here";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        if (!dir_.empty()) {
            std::error_code ec;
            fs::remove_all(dir_, ec);
        }
    }
    // The name a session uses for a file on the small disk.
    std::string Name(const std::string& leaf) const { return "../" + dir_.filename().string() + "/" + leaf; }
    // Puts the file there, then fills the disk.
    void PutThenFill(const std::string& leaf, const std::string& text) {
        std::ofstream(dir_ / leaf, std::ios::binary) << text;
        std::ofstream fill(dir_ / "filler", std::ios::binary);
        const std::string block(512, 'f');
        for (int i = 0; i < 64 && fill; ++i) fill << block << std::flush;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    bool mounted_ = false;
};

TEST_F(FullDisk, AFailedSaveKeepsTheFileItWasToReplace) {
    const std::string old = Slurp(ExamplePath("metric.dat"));
    PutThenFill("m", old);
    const std::string name = Name("m");
    ASSERT_LE(name.size(), 14u);
    // Main 2, data 1, file input of simple.dat, save over the file on the
    // full disk, "Y" to overwrite it.
    Session s = RunKorvo("2\n1\n1\nsimple.dat\n3\n" + name + "\nY\n6\n8\n", WithExample("simple.dat"));
    EXPECT_EQ(s.status, 1);
    EXPECT_TRUE(s.err == "\r\nrun-time error F6601: WRITE(" + name + ")\r\n- write error\r\n" ||
                s.err == "\r\nrun-time error F6601: CLOSE(" + name + ")\r\n- write error\r\n")
        << s.err;
    EXPECT_NE(s.out.find("Already Exists ! Overwrite it ? Y/N >  "), std::string::npos);
    EXPECT_EQ(Slurp(dir_ / "m"), old);
    EXPECT_EQ(Files(), (std::vector<std::string>{"filler", "m"}));
}

TEST_F(FullDisk, AFailedReportKeepsTheOldReport) {
    const std::string old = "an earlier report\r\n";
    PutThenFill("r", old);
    const std::string name = Name("r");
    // Main 2 (damped), model simple.dat, run: lumped mass, the report over
    // the file on the full disk.
    Session s = RunKorvo("2\n1\n1\nsimple.dat\n5\n1\n" + name + "\nY\n\n8\n", WithExample("simple.dat"));
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.err.find("run-time error F6601: "), std::string::npos) << s.err;
    EXPECT_NE(s.err.find("(" + name + ")\r\n- write error\r\n"), std::string::npos) << s.err;
    EXPECT_EQ(Slurp(dir_ / "r"), old);
    EXPECT_EQ(Files(), (std::vector<std::string>{"filler", "r"}));
}

TEST(ConsoleFailure, AClosedPipeOrAFullDiskEndsTheRunWithTheWriteError) {
    // A model saved, then main menu 6 and data menu 6 1500 times (about 1.3 MB,
    // more than any pipe holds). The pipe is closed after 100 bytes; the full
    // disk takes 16 KB, so the console fails after the save, which stays whole.
    std::string script = "6\n1\n1\nsimple.dat\n3\nsaved.dat\n6\n";
    for (int i = 0; i < 1500; ++i) script += "6\n6\n";
    for (bool pipeClosed : {true, false}) {
        SessionSetup setup = WithExample("simple.dat");
        std::thread reader;
        if (pipeClosed) {
            int fds[2];
            ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
            setup.stdoutFd = fds[1];
            reader = std::thread([fd = fds[0]] {
                char buf[100];
                for (size_t got = 0; got < sizeof buf;) {
                    const ssize_t n = read(fd, buf + got, sizeof buf - got);
                    if (n <= 0) break;
                    got += static_cast<size_t>(n);
                }
                close(fd);
            });
        } else {
            setup.fileSizeLimit = 16384;
        }
        const Session s = RunKorvo(script + "8\n", setup);
        if (reader.joinable()) reader.join();
        EXPECT_EQ(s.status, 1) << pipeClosed;
        EXPECT_EQ(s.err, "\r\nrun-time error F6601: WRITE(CON)\r\n- write error\r\n") << pipeClosed;
        if (!pipeClosed) {
            EXPECT_EQ(s.file("saved.dat"), Slurp(ExamplePath("simple.dat")));
        }
    }
}

// The report without the lines of its banner that carry the date and time.
std::string WithoutClock(const std::string& report) {
    std::string t;
    for (const std::string& l : SplitLines(report))
        if (l.find("RUN ON: ") == std::string::npos && l.find("AT: ") == std::string::npos) t += l + "\n";
    return t;
}

TEST(Overwrite, ReportAndEigenvalueFilesRewrittenInPlaceEndAsFreshOnes) {
    // A stability run writes its eigenvalue files during the sweep, reads
    // them back for the report and rewrites the report after each pass.
    const auto script = [](bool overwrite) {
        const std::string y = overwrite ? "Y\n" : "";
        return "4\n1\n1\nstability.dat\n5\n1\n2\nr.out\n" + y + "i.out\n" + y + "1\nN\n1000\n12000\n500\n1\nrep.out\n" +
               y + "\n8\n";
    };
    Session fresh = RunKorvo(script(false), WithExample("stability.dat"));
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    std::string junk;
    for (int i = 0; i < 2000; ++i) junk += "old line " + std::to_string(i) + "\r\n";
    SessionSetup setup = WithExample("stability.dat");
    setup.files = {{"r.out", junk}, {"i.out", junk}, {"rep.out", junk}};
    Session again = RunKorvo(script(true), setup);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.file("r.out"), fresh.file("r.out"));
    EXPECT_EQ(again.file("i.out"), fresh.file("i.out"));
    ASSERT_NE(fresh.file("rep.out"), "");
    EXPECT_EQ(WithoutClock(again.file("rep.out")), WithoutClock(fresh.file("rep.out")));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(again.dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"i.out", "r.out", "rep.out", "stability.dat"}));
}

}  // namespace
