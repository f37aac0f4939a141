// Pause commands, date and time.
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "tests/recordio/rio_test.h"

namespace {

class Pause : public RecordIoTest {
protected:
    void SetUp() override {
        RecordIoTest::SetUp();
        if (const char* c = std::getenv("COMSPEC")) saved_ = c, had_ = true;
        unsetenv("COMSPEC");
    }
    void TearDown() override {
        if (had_)
            setenv("COMSPEC", saved_.c_str(), 1);
        else
            unsetenv("COMSPEC");
        RecordIoTest::TearDown();
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST_F(Pause, RunsTheTypedCommandThroughTheShell) {
    Input("touch '" + (dir / "made").string() + "'\n");
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_TRUE(fs::exists(dir / "made"));
    EXPECT_EQ(Take(), " Press <enter> when done ...\r\n");
}

TEST_F(Pause, ALongLineIsCutToItsFirst128Characters) {
    std::string cmd = "touch '" + (dir / "A").string() + "'";
    ASSERT_LT(cmd.size(), 128u);
    cmd += std::string(128 - cmd.size(), ' ');
    cmd += "; touch '" + (dir / "B").string() + "'";
    Input(cmd + "\n");
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_TRUE(fs::exists(dir / "A"));
    EXPECT_FALSE(fs::exists(dir / "B"));
}

TEST_F(Pause, ComspecIsStartedWithSlashC) {
    const fs::path script = dir / "interp.sh";
    Put("interp.sh", "#!/bin/sh\nprintf '%s|%s' \"$1\" \"$2\" > '" + (dir / "args").string() + "'\n");
    fs::permissions(script, fs::perms::owner_all);
    setenv("COMSPEC", script.c_str(), 1);
    Input("dir  \t\n");  // trailing blanks and tabs removed
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_EQ(Slurp(dir / "args"), "/c|dir");
}

TEST_F(Pause, AMissingComspecFallsBackToTheShell) {
    setenv("COMSPEC", (dir / "no-such-interpreter").c_str(), 1);
    Input("touch '" + (dir / "made").string() + "'\n");
    PauseForCommand(" Press <enter> when done ...");
    EXPECT_TRUE(fs::exists(dir / "made"));
}

TEST_F(Pause, EndOfInputAtAPauseEndsTheRun) {
    Input("");
    EXPECT_THROW(PauseForCommand("Singular matrix."), RunTimeError);
}

TEST(DateAndTime, FieldsAreInRangeAndMatchTheClock) {
    int16_t y, mo, d, h, mi, s, hs;
    const std::time_t before = std::time(nullptr);
    GetDate(y, mo, d);
    GetTimeOfDay(h, mi, s, hs);
    std::tm tm{};
    localtime_r(&before, &tm);
    EXPECT_EQ(y, tm.tm_year + 1900);
    EXPECT_GE(mo, 1);
    EXPECT_LE(mo, 12);
    EXPECT_GE(d, 1);
    EXPECT_LE(d, 31);
    EXPECT_GE(h, 0);
    EXPECT_LE(h, 23);
    EXPECT_LE(mi, 59);
    EXPECT_LE(s, 59);
    EXPECT_GE(hs, 0);
    EXPECT_LE(hs, 99);
    // within a minute of the clock read just before
    const int secOfDay = h * 3600 + mi * 60 + s;
    const int want = tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
    EXPECT_LE((secOfDay - want + 86400) % 86400, 60);
}

}  // namespace
