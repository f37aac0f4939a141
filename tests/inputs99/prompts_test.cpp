// The prompt routines driven in-process with scripted console streams.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "inputs99/front_end.h"
#include "recordio/recordio.h"
#include "tests/support/session.h"

namespace fs = std::filesystem;

namespace {

class PromptTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("korvo-prompts-" + std::to_string(rd()));
        fs::create_directories(dir);
        oldDir = fs::current_path();
        fs::current_path(dir);
        ResetRecordIo();
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    // Scripted answers, one per line.
    void Answers(const std::string& text) {
        in.str(text);
        in.clear();
        out.str("");
        SetConsoleStreams(&in, &out);
    }
    static void MakeFile(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string Slurp(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    std::string Out() const { return out.str(); }
    // A file name as the A14 descriptor writes it.
    static std::string A14(const std::string& name) { return name + std::string(14 - name.size(), ' '); }

    fs::path dir, oldDir;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(PromptTest, AskYesNoFoldsOnlyTheFirstCharacter) {
    struct Case {
        const char* line;
        char ans;
    };
    const Case cases[] = {{"yes\n", 'Y'}, {"n\n", 'N'}, {"Y\n", 'Y'}, {" y\n", ' '}, {"\n", ' '}, {"x\n", 'x'},
                          {"No way\n", 'N'}};
    for (const Case& c : cases) {
        Answers(c.line);
        AskYesNo();
        EXPECT_EQ(FRONT.ANS.c[0], c.ans) << "input " << c.line;
        EXPECT_EQ(Out(), "") << "AskYesNo writes no prompt of its own";
    }
}

TEST_F(PromptTest, ChooseOptionAsksUntilTheAnswerIsInRange) {
    Answers("0\n9\n8\n");
    int choice = -1;
    ChooseOption(choice, 1, 8);
    EXPECT_EQ(choice, 8);
    EXPECT_EQ(CountOccurrences(Out(), "Choose Option < 1 -  8> ... "), 3);
    // Two empty lines, then the prompt after nine blanks (10X less the
    // carriage-control column); the answer line ends the pending prompt.
    EXPECT_EQ(Out().rfind("\r\n\r\n         Choose Option < 1 -  8> ... \r\n", 0), 0u);

    Answers("3\n");
    ChooseOption(choice, 1, 16);
    EXPECT_EQ(choice, 3);
    EXPECT_NE(Out().find("Choose Option < 1 - 16> ... "), std::string::npos);
}

TEST_F(PromptTest, PressEnterWaitsForOneLineAndBeepRingsPerLine) {
    Answers("anything at all\n7\n");
    PressEnterToContinue();
    EXPECT_NE(Out().find("Press <Enter> to continue ... "), std::string::npos);
    int next = 0;
    Read(CONSOLE, FREE, next);
    EXPECT_EQ(next, 7) << "exactly one line was consumed by the pause";

    Answers("");
    Beep(0);
    Beep(-3);
    EXPECT_EQ(Out(), "");
    Beep(2);
    EXPECT_EQ(CountOccurrences(Out(), "\a"), 2);
    EXPECT_EQ(SplitLines(Out()).size(), 2u);
}

TEST_F(PromptTest, OpenNewOnExistingFileAsksAgainThenTakesAnotherName) {
    MakeFile("old.txt", "keep me\r\n");
    Answers("x\nn\nfresh.txt\n");
    Text14 name("old.txt");
    Text3 status("NEW");
    OpenFileChecked(21, name, status);
    EXPECT_EQ(name.trimmed(), "fresh.txt");
    EXPECT_TRUE(status == "NEW");
    EXPECT_EQ(CountOccurrences(Out(), "    File " + A14("old.txt") + " Already Exists ! Overwrite it ? Y/N >  "), 2)
        << "an answer other than Y or N repeats the question";
    EXPECT_EQ(CountOccurrences(Out(), " Input Different Filename ... "), 1);
    EXPECT_EQ(UnitFileName(21), "fresh.txt");
    EXPECT_EQ(Slurp("old.txt"), "keep me\r\n");
    Write(21, FREE, " new");
    CloseUnit(21);
    EXPECT_EQ(Slurp("fresh.txt"), "  new\r\n");
}

TEST_F(PromptTest, OpenNewOverwritesAfterYes) {
    MakeFile("out.txt", "line one\r\nline two\r\nline three\r\n");
    Answers("y\n");
    Text14 name("out.txt");
    Text3 status("NEW");
    OpenFileChecked(9, name, status);
    EXPECT_TRUE(status == "NEW") << "the caller's status is left at NEW";
    Write(9, "(A14)", name);
    CloseUnit(9);
    EXPECT_EQ(Slurp("out.txt"), "out.txt       \r\n");
}

TEST_F(PromptTest, OpenOldOnMissingFileAsksForAnotherNameWithoutQuestion) {
    MakeFile("there.dat", "1\r\n");
    Answers("there.dat\n");
    Text14 name("missing.dat");
    Text3 status("OLD");
    OpenFileChecked(1, name, status);
    EXPECT_NE(Out().find("\r\n    File " + A14("missing.dat") + " Not found !\r\n"), std::string::npos);
    EXPECT_EQ(Out().find("Overwrite"), std::string::npos);
    EXPECT_EQ(name.trimmed(), "there.dat");
    EXPECT_TRUE(status == "NEW");
    int v = 0;
    Read(1, FREE, v);
    EXPECT_EQ(v, 1);
}

TEST_F(PromptTest, FileInUseByAnotherUnitIsNeverOverwritten) {
    // The report is open on unit 9; a result file of the same name must not
    // share it, and the retry must not overwrite a later existing name
    // without asking.
    MakeFile("later.txt", "precious\r\n");
    Text14 report("report.txt");
    Text3 status("NEW");
    Answers("");
    OpenFileChecked(9, report, status);
    Answers("y\nlater.txt\nn\nother.txt\n");
    Text14 name("report.txt");
    status = Text3("NEW");
    OpenFileChecked(21, name, status);
    EXPECT_EQ(name.trimmed(), "other.txt");
    EXPECT_TRUE(status == "NEW");
    EXPECT_NE(Out().find("File " + A14("report.txt") + " Is In Use By This Run !"), std::string::npos);
    EXPECT_NE(Out().find("File " + A14("later.txt") + " Already Exists ! Overwrite it ? Y/N >  "), std::string::npos);
    EXPECT_EQ(Slurp("later.txt"), "precious\r\n");
    EXPECT_EQ(UnitFileName(9), "report.txt");
}

}  // namespace
