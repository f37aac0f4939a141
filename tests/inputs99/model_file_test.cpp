// The model data file through the real program: saved layout, round trips,
// hand-edited files, refusals of files that break the model's limits, and
// read errors that end the run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/inputs99/model_texts.h"
#include "tests/support/session.h"

namespace {

std::string S(int n) { return std::string(n, ' '); }
// Free-format fields: integers in 11 columns, reals in 15.
std::string I11(const std::string& digits) { return S(11 - static_cast<int>(digits.size())) + digits; }
std::string R15(const std::string& text) { return S(15 - static_cast<int>(text.size())) + text; }
std::string LTrim(const std::string& s) { return s.substr(std::min(s.find_first_not_of(' '), s.size())); }

// Numbers of a model file after its title line, in file order.
std::vector<float> Numbers(const std::string& text) {
    std::vector<float> v;
    std::string body = text.substr(text.find('\n') + 1);
    for (char& c : body)
        if (c == ',') c = ' ';
    std::istringstream in(body);
    std::string tok;
    while (in >> tok) v.push_back(std::strtof(tok.c_str(), nullptr));
    return v;
}

// Session answers: main menu 6 (no pause), then per file "1 1 name".
std::string ReadFile(const std::string& name) { return "1\n1\n" + name + "\n"; }
std::string Save(const std::string& name) { return "3\n" + name + "\n"; }
const std::string kEnd = "6\n8\n";

// Two stations on two bearings, written by hand with commas, records split
// over lines, extra values at the ends of lines and unbalance records
// numbered 5 and 6.
const char* kTwoStationHand =
    "TWO STATION SHAFT\n"
    "2, 0, 2, 0, 0, 55 66\n"
    "1 7\n"
    "1.5, 0\n"
    "   10 0\n"
    "0\n"
    "1 2.5 99.0\n"
    "2,2.5\n"
    "3.0E7,0.283\n"
    "1\n"
    "0.0\n"
    "1.0E5 0 0 1.0E5\n"
    "10 0 0 10\n"
    "150000.0 250.5 -250.5 150000.0 12.5 0.125 -0.125 12.5\n"
    "5 0.0 45.0\n"
    "6 0.5 -30 1234\n";

TEST(ModelFile, TwoStationModelIsSavedAsThirteenRecords) {
    SessionSetup setup;
    setup.files["hand.dat"] = kTwoStationHand;
    Session s = RunKorvo("6\n" + ReadFile("hand.dat") + Save("two.dat") + kEnd, setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // One integer and six reals, or five or eight reals, continue on a
    // second line; continuation lines are compared without leading blanks.
    const std::vector<std::pair<std::string, bool>> expected = {
        {"TWO STATION SHAFT" + S(33), false},
        {" " + I11("2") + " " + I11("0") + " " + I11("2") + " " + I11("0") + " " + I11("0"), false},
        {" " + I11("1") + " " + I11("7"), false},
        {" " + R15("1.500000") + " " + R15("0.000000E+00") + " " + R15("10.000000") + " " + R15("0.000000E+00"),
         false},
        {"0.000000E+00", true},
        {" " + I11("1") + " " + R15("2.500000"), false},
        {" " + I11("2") + " " + R15("2.500000"), false},
        {" " + R15("3.000000E+07") + " " + R15("2.830000E-01"), false},
        {" " + I11("1"), false},
        {" " + R15("0.000000E+00"), false},
        {" " + R15("100000.000000") + " " + R15("0.000000E+00") + " " + R15("0.000000E+00") + " " +
             R15("100000.000000"),
         false},
        {"10.000000 " + R15("0.000000E+00") + " " + R15("0.000000E+00") + " " + R15("10.000000"), true},
        {" " + R15("150000.000000") + " " + R15("250.500000") + " " + R15("-250.500000") + " " +
             R15("150000.000000"),
         false},
        {"12.500000 " + R15("1.250000E-01") + " " + R15("-1.250000E-01") + " " + R15("12.500000"), true},
        {" " + I11("1") + " " + R15("0.000000E+00") + " " + R15("45.000000"), false},
        {" " + I11("2") + " " + R15("5.000000E-01") + " " + R15("-30.000000"), false},
    };
    const std::string text = s.file("two.dat");
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), expected.size()) << text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (expected[i].second)
            EXPECT_EQ(LTrim(lines[i]), expected[i].first) << "line " << i + 1;
        else
            EXPECT_EQ(lines[i], expected[i].first) << "line " << i + 1;
    }
    EXPECT_EQ(CountOccurrences(text, "\r\n"), 16) << "every record ends in CR LF";
    EXPECT_EQ(CountOccurrences(text, "\n"), 16);
}

TEST(ModelFile, SaveAndReadBackKeepEveryValue) {
    for (const char* model : {kEnglishModel, kMetricModel}) {
        SessionSetup setup;
        setup.files["model.dat"] = model;
        // Read, save, read the saved file, save it again.
        Session s = RunKorvo("6\n" + ReadFile("model.dat") + Save("first.dat") + ReadFile("first.dat") +
                                 Save("second.dat") + kEnd,
                             setup);
        ASSERT_EQ(s.status, 0) << s.err;
        const std::string first = s.file("first.dat"), second = s.file("second.dat");
        EXPECT_EQ(first, second) << "what the writer writes, the reader reads back unchanged";
        EXPECT_EQ(Numbers(first), Numbers(model)) << "same values, ISPARE and unused phases included";
        EXPECT_EQ(SplitLines(first)[0], SplitLines(model)[0] + S(50 - static_cast<int>(SplitLines(model)[0].size())));
    }
}

TEST(ModelFile, UnbalanceRecordsBelongToStationsInOrder) {
    const std::string model =
        "THREE\n3 0 2 0 0\n1 0\n1 0 10 0 0\n1 0 10 0 0\n1 0\n3 0\n3.0E7 0.283\n1\n0\n"
        "1.0E5 0 0 1.0E5 10 0 0 10\n1.0E5 0 0 1.0E5 10 0 0 10\n"
        "5 0.1 10\n6 0.2 20\n7 0.3 30\n";
    SessionSetup setup;
    setup.files["three.dat"] = model;
    Session s = RunKorvo("6\n" + ReadFile("three.dat") + Save("out.dat") + kEnd, setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const auto lines = SplitLines(s.file("out.dat"));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], " " + I11("1") + " " + R15("1.000000E-01") + " " + R15("10.000000"));
    EXPECT_EQ(lines[lines.size() - 2], " " + I11("2") + " " + R15("2.000000E-01") + " " + R15("20.000000"));
    EXPECT_EQ(lines[lines.size() - 1], " " + I11("3") + " " + R15("3.000000E-01") + " " + R15("30.000000"));
}

TEST(ModelFile, SavingOverTheFileJustReadRewritesItInPlace) {
    SessionSetup setup;
    // Lines after the last record must disappear when the file is rewritten.
    setup.files["model.dat"] = std::string(kEnglishModel) + "trailing line one\r\ntrailing line two\r\n";
    Session s = RunKorvo("6\n" + ReadFile("model.dat") + Save("copy.dat") + "3\nmodel.dat\nx\ny\n" + kEnd, setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(CountOccurrences(s.out, "    File model.dat      Already Exists ! Overwrite it ? Y/N >  "), 2);
    EXPECT_EQ(s.file("model.dat"), s.file("copy.dat"));
}

TEST(ModelFile, SaveToAnExistingNameCanTakeAnotherName) {
    SessionSetup setup;
    setup.files["model.dat"] = kEnglishModel;
    setup.files["taken.dat"] = "keep\r\n";
    Session s = RunKorvo("6\n" + ReadFile("model.dat") + "3\n\ntaken.dat\nn\nfree.dat\n" + kEnd, setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(CountOccurrences(s.out, " Input Save Data Filename > "), 2) << "a blank name is asked again";
    EXPECT_NE(s.out.find(" Input Different Filename ... "), std::string::npos);
    EXPECT_EQ(s.file("taken.dat"), "keep\r\n");
    EXPECT_EQ(Numbers(s.file("free.dat")), Numbers(kEnglishModel));
}

TEST(ModelFile, MissingFileOffersAnotherName) {
    SessionSetup setup;
    setup.files["model.dat"] = kEnglishModel;
    // A missing name, Y, a good name; then a missing name, N: the data menu
    // with the model read before.
    Session s = RunKorvo("6\n" + ReadFile("nothere.dat") + "\ny\nmodel.dat\n" + ReadFile("gone.dat") + "\nn\n" +
                             "5\n8\n",
                         setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const auto lines = SplitLines(s.out);
    int k = 0;
    while (k < static_cast<int>(lines.size()) && lines[k] != " File not found. Press <Enter> to continue...") ++k;
    ASSERT_LT(k + 2, static_cast<int>(lines.size()));
    EXPECT_EQ(lines[k - 1], " Input the name of your data_file  ....  ");
    EXPECT_EQ(lines[k + 1], "");
    EXPECT_EQ(lines[k + 2], " Try Another Filename ? Y/N > ");
    EXPECT_EQ(CountOccurrences(s.out, " File not found. Press <Enter> to continue..."), 2);
    EXPECT_EQ(CountOccurrences(s.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1) << "the model stayed in memory";
}

// A valid header for `nsta` stations with the given other counts, and the
// rest of the file for those counts.
std::string GeneratedModel(int nsta, int nped) {
    std::ostringstream m;
    m << "GENERATED\n" << nsta << " 0 2 " << nped << " 0\n1 0\n";
    for (int i = 1; i < nsta; ++i) m << "1 0 1 0 0\n";
    m << "1 0\n" << nsta << " 0\n";
    for (int i = 0; i < nped; ++i) m << nsta << " 10\n";
    for (int i = 0; i < nped; ++i) m << "1.0E5 1.0E5 1 1\n";
    m << "3.0E7 0.283\n1\n0\n1.0E5 0 0 1.0E5 1 0 0 1\n1.0E5 0 0 1.0E5 1 0 0 1\n";
    for (int i = 1; i <= nsta; ++i) m << i << " 0 0\n";
    return m.str();
}

TEST(ModelFile, FilesBreakingTheLimitsAreRefusedAndTheModelStays) {
    SessionSetup setup;
    setup.files["good.dat"] = kTwoStationHand;
    struct Bad {
        const char* name;
        std::string text;
        const char* message;
    };
    const std::string tail = "3.0E7 0.283\n1\n0\n1.0E5 0 0 1.0E5 1 0 0 1\n1.0E5 0 0 1.0E5 1 0 0 1\n";
    const std::vector<Bad> bad = {
        {"discs.dat", "X\n3 100 2 0 0\n", " The number of discs (100) must lie between 0 and 99"},
        {"one.dat", "X\n1 0 0 0 0\n", " The number of stations (1) must lie between 2 and 99"},
        {"size.dat", GeneratedModel(99, 1), " 2 x stations + pedestals = 199 exceeds 198, the limit of the code"},
        {"ped.dat", "X\n3 0 2 1 0\n1 0\n1 0 1 0 0\n1 0 1 0 0\n1 0\n3 0\n2 5\n1 1 1 1\n" + tail,
         " A pedestal may only stand at a bearing, in the order of the bearings"},
        {"order.dat", "X\n3 0 2 0 0\n1 0\n1 0 1 0 0\n1 0 1 0 0\n3 0\n1 0\n" + tail,
         " Bearing No.2 (station 1) is not in ascending station order"},
        {"range.dat", "X\n3 1 2 0 0\n1 0\n1 0 1 0 0\n1 0 1 0 0\n4 1 0 1 1 1 1\n1 0\n3 0\n" + tail,
         " Disc No.1 is at station 4, outside 1 to 3"},
        {"speeds.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n100\n",
         " The number of speeds (100) must lie between 1 and 99"},
        {"desc.dat",
         "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n2\n2000\n1 0 0 1 1 0 0 1\n1000\n1 0 0 1 1 0 0 1\n",
         " Speed No.2 is not above the speed before it"},
    };
    std::string input = "6\n" + ReadFile("good.dat");
    for (const Bad& b : bad) {
        setup.files[b.name] = b.text;
        input += ReadFile(b.name) + "\n";
    }
    input += Save("after.dat") + "5\n8\n";
    Session s = RunKorvo(input, setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const auto lines = SplitLines(s.out);
    for (const Bad& b : bad) {
        const std::string head = " *** MODEL FILE " + std::string(b.name) + " IS REFUSED ***";
        int k = 0;
        while (k < static_cast<int>(lines.size()) && lines[k] != head) ++k;
        ASSERT_LT(k + 3, static_cast<int>(lines.size())) << head;
        EXPECT_EQ(lines[k - 2], "\a");
        EXPECT_EQ(lines[k - 1], "\a");
        EXPECT_EQ(lines[k + 1], b.message);
        EXPECT_EQ(lines[k + 2], " The model in memory is unchanged.");
        EXPECT_EQ(lines[k + 3], "Press <Enter> to continue ... ");
    }
    const std::vector<float> good = {2,   0, 2,     0,   0,    1,      7,      1.5,    0,    10,     0,
                                     0,   1, 2.5f,  2,   2.5f, 3.0e7f, 0.283f, 1,      0,    1.0e5f, 0,
                                     0,   1.0e5f, 10, 0, 0,    10,     1.5e5f, 250.5f, -250.5f, 1.5e5f, 12.5f,
                                     0.125f, -0.125f, 12.5f, 1, 0, 45, 2,     0.5f,   -30};
    EXPECT_EQ(Numbers(s.file("after.dat")), good);
    EXPECT_EQ(SplitLines(s.file("after.dat"))[0], "TWO STATION SHAFT" + S(33));
    EXPECT_EQ(CountOccurrences(s.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
}

TEST(ModelFile, SizeLimitAllows198AndARefusalWithoutModelLeavesNone) {
    SessionSetup setup;
    setup.files["big.dat"] = GeneratedModel(99, 0);
    setup.files["toobig.dat"] = GeneratedModel(99, 1);
    Session ok = RunKorvo("6\n" + ReadFile("big.dat") + "5\n8\n", setup);
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(CountOccurrences(ok.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);

    Session no = RunKorvo("6\n" + ReadFile("toobig.dat") + "\n5\n\n" + kEnd, setup);
    ASSERT_EQ(no.status, 0) << no.err;
    EXPECT_NE(no.out.find(" No model is in memory."), std::string::npos);
    EXPECT_NE(no.out.find(" CANNOT RUN MAIN MENU OPTION WITHOUT DATA !"), std::string::npos);
}

TEST(ModelFile, UnreadableOrShortFilesEndTheRunWithTheReport) {
    const std::string head = "BROKEN\n2 0 2 0 0\n1 0\n";
    SessionSetup setup;
    setup.files["short.dat"] = head + "1 0 10 0 0\n1 0\n";
    setup.files["letters.dat"] = head + "1 0 ten 0 0\n";
    for (const char* name : {"short.dat", "letters.dat"}) {
        Session s = RunKorvo("6\n" + ReadFile(name) + kEnd, setup);
        EXPECT_EQ(s.status, 1) << name;
        EXPECT_NE(s.err.find("run-time error F"), std::string::npos) << s.err;
        EXPECT_NE(s.err.find("READ(" + std::string(name) + ")"), std::string::npos) << s.err;
    }
}

TEST(ModelFile, ModelIsReadAgainAfterARun) {
    SessionSetup setup;
    setup.examples = {"simple.dat"};
    // An undamped run (no normalising, no mode files, lumped mass), then main
    // 6: the data menu re-reads simple.dat without asking, so data 5 is
    // answered although every entry clears the model flag.
    Session s = RunKorvo("1\n\n" + ReadFile("simple.dat") + "5\nn\nn\n1\nund.out\n\n6\n5\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("***    END OF RUN    ***"), std::string::npos);
    EXPECT_EQ(CountOccurrences(s.out, " Input the name of your data_file  ....  "), 1);
    EXPECT_EQ(CountOccurrences(s.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "R O T O R   D Y N A M I C S"), 2);
}

TEST(ModelFile, ExampleModelsAreReadAndSavedUnchanged) {
    for (const char* name : {"simple.dat", "metric.dat", "pedestal.dat", "stability.dat"}) {
        SessionSetup setup;
        setup.examples = {name};
        Session s = RunKorvo("6\n" + ReadFile(name) + Save("copy.dat") + "5\n8\n", setup);
        ASSERT_EQ(s.status, 0) << name << s.err;
        EXPECT_EQ(s.file("copy.dat"), s.file(name)) << name << " is in the program's own save format";
        EXPECT_EQ(CountOccurrences(s.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1) << name;
    }
}

}  // namespace
