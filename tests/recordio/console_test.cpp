// Console carriage control and the line-pending state: the exact byte
// stream of short dialogues, pauses and the stop.
#include "tests/recordio/rio_test.h"

namespace {

using Console = RecordIoTest;

TEST_F(Console, PromptAnswerPromptHasNoEmptyLine) {
    Input("5\n2\n");
    int32_t nsta = 0, ndisc = 0;
    Write(CONSOLE, "(2X,'Number of stations......... NSTA = ')");
    Read(CONSOLE, FREE, nsta);
    Write(CONSOLE, "(2X,'Number of discs............ NDISC = ')");
    Read(CONSOLE, FREE, ndisc);
    Write(CONSOLE, "(1X,'Thank you')");
    EXPECT_EQ(nsta, 5);
    EXPECT_EQ(ndisc, 2);
    // the line advance comes before a record; a read ends the pending line
    // and clears the state, so the next record starts where Enter left off
    EXPECT_EQ(Take(), " Number of stations......... NSTA = \r\n"
                      " Number of discs............ NDISC = \r\n"
                      "Thank you");
}

TEST_F(Console, LeadingSlashesGiveTheSameScreenWithOrWithoutPendingLine) {
    constexpr const char* fmt = "(/,/,5X,'Searching for the Threshold Speed',/,/)";
    Write(CONSOLE, fmt);  // nothing pending at the start
    EXPECT_EQ(Take(), "\r\n\r\n    Searching for the Threshold Speed\r\n\r\n");
    Write(CONSOLE, fmt);  // now a line is pending
    EXPECT_EQ(Take(), "\r\n\r\n\r\n    Searching for the Threshold Speed\r\n\r\n");
    // the cursor stands at the start of a line, with a line pending
    Write(CONSOLE, "(1X,'next')");
    EXPECT_EQ(Take(), "\r\nnext");
}

TEST_F(Console, CarriageControlCharacters) {
    Write(CONSOLE, "('0','zero')");  // nothing pending: one line advance
    EXPECT_EQ(Take(), "\r\nzero");
    Write(CONSOLE, "('0','two')");
    EXPECT_EQ(Take(), "\r\n\r\ntwo");
    Write(CONSOLE, "('+','over')");
    EXPECT_EQ(Take(), "\rover");
    Write(CONSOLE, "('1','page')");
    EXPECT_EQ(Take(), "\r\n\f\r \rpage");
    Write(CONSOLE, "('Xtext')");  // an unlisted character acts as a blank
    EXPECT_EQ(Take(), "\r\ntext");
    Write(CONSOLE, "(2X,'a',/,5X,'b')");
    EXPECT_EQ(Take(), "\r\n a\r\n    b");
    Write(CONSOLE, FREE, " done ...");
    EXPECT_EQ(Take(), "\r\n done ...");
    CloseUnit(CONSOLE);  // a close ends the pending line and clears it
    EXPECT_EQ(Take(), "\r\n");
    Write(CONSOLE, "(1X,'x')");
    EXPECT_EQ(Take(), "x");
}

TEST_F(Console, PauseWhileALineIsPendingLeavesOneEmptyLine) {
    Input("\n");
    Write(CONSOLE, "(1X,'Type DIR [directory name] <Enter>')");
    PauseForCommand(" Press <enter> when done ...");
    Write(CONSOLE, "(1X,'Menu')");
    EXPECT_EQ(Take(), "Type DIR [directory name] <Enter>\r\n Press <enter> when done ...\r\n\r\nMenu");
}

TEST_F(Console, PauseWithNoLinePendingAndDefaultMessage) {
    Input("   \t \n");
    PauseForCommand(nullptr);
    Write(CONSOLE, "(1X,'Menu')");
    EXPECT_EQ(Take(), "Pause - Please enter a blank line (to continue) or a DOS command.\r\nMenu");
}

TEST_F(Console, StopEndsThePendingLineAndWritesTheMessage) {
    Write(CONSOLE, "(1X,'Choice > ')");
    EXPECT_THROW(StopRun(" done ..."), ProgramStop);
    EXPECT_EQ(Take(), "Choice > \r\n done ...\r\n");
    ResetRecordIo();
    EXPECT_THROW(StopRun(nullptr), ProgramStop);
    EXPECT_EQ(Take(), "Stop - Program terminated.\r\n");
}

TEST_F(Console, StopClosesUnitsAndKeepsTheirFiles) {
    ASSERT_EQ(OpenUnit(9, Text14("report.out"), Text3("NEW")), 0);
    Write(9, "(1X,'line')");
    EXPECT_THROW(StopRun(" done ..."), ProgramStop);
    EXPECT_FALSE(UnitIsOpen(9));
    EXPECT_EQ(Slurp(dir / "report.out"), " line\r\n");
}

TEST_F(Console, ShutDownEndsThePendingLine) {
    Write(CONSOLE, "(1X,'prompt')");
    ShutDownUnits();
    EXPECT_EQ(Take(), "prompt\r\n");
    ShutDownUnits();
    EXPECT_EQ(Take(), "");
}

}  // namespace
