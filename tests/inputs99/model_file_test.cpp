// The model data file through the real program: the saved layout, round
// trips, hand-edited files, refusals of files that break the model's limits
// or hold values that are not finite numbers, and read errors that end the
// run.
#include <fstream>
#include <iterator>

#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

// Session answers: data 1, input option 1 and the name; data 3 and the name.
std::string ReadFile(const std::string& name) { return "1\n1\n" + name + "\n"; }
std::string Save(const std::string& name) { return "3\n" + name + "\n"; }

// A free-format record: integers right-justified in 11 columns, reals
// (written with a point) in 15, each after one blank; a record continued on
// a second line starts that line with one more blank.
std::string Free(const std::string& items) {
    std::istringstream in(items);
    std::string r;
    for (std::string t; in >> t;) r.append(1 + (t.find('.') == std::string::npos ? 11 : 15) - t.size(), ' ').append(t);
    return r.append("\r\n");
}

// Two stations on two bearings, written by hand with commas, records split
// over lines, extra values at the ends of lines and unbalance records
// numbered 5 and 6.
const char* kTwoStationHand =
    "TWO STATION SHAFT\n2, 0, 2, 0, 0, 55 66\n1 7\n1.5, 0\n   10 0\n0\n1 2.5 99.0\n2,2.5\n3.0E7,0.283\n1\n0.0\n"
    "1.0E5 0 0 1.0E5\n10 0 0 10\n150000.0 250.5 -250.5 150000.0 12.5 0.125 -0.125 12.5\n5 0.0 45.0\n6 0.5 -30 1234\n";

// The same model as the program saves it: 13 records, three of them
// continued on a second line (one integer and six reals, or five or eight
// reals, do not fit in 79 columns).
const std::string kTwoStationSaved =
    "TWO STATION SHAFT" + S(33) + "\r\n" + Free("2 0 2 0 0") + Free("1 7") +
    Free("1.500000 0.000000E+00 10.000000 0.000000E+00") + " " + Free("0.000000E+00") + Free("1 2.500000") +
    Free("2 2.500000") + Free("3.000000E+07 2.830000E-01") + Free("1") + Free("0.000000E+00") +
    Free("100000.000000 0.000000E+00 0.000000E+00 100000.000000") + " " +
    Free("10.000000 0.000000E+00 0.000000E+00 10.000000") + Free("150000.000000 250.500000 -250.500000 150000.000000") +
    " " + Free("12.500000 1.250000E-01 -1.250000E-01 12.500000") + Free("1 0.000000E+00 45.000000") +
    Free("2 5.000000E-01 -30.000000");

TEST(ModelFile, TwoStationModelIsSavedAsThirteenRecords) {
    SessionSetup setup;
    setup.files["hand.dat"] = kTwoStationHand;
    Session s = RunKorvo("6\n" + ReadFile("hand.dat") + Save("two.dat") + "6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.file("two.dat"), kTwoStationSaved);
}

TEST(ModelFile, SaveAndReadBackKeepEveryValue) {
    // The hand-written models, and the examples, which are in the save format.
    std::vector<std::pair<std::string, bool>> models = {{kEnglishModel, false}, {kMetricModel, false}};
    for (const char* name : {"simple.dat", "metric.dat", "pedestal.dat", "stability.dat"}) {
        std::ifstream f(ExamplePath(name), std::ios::binary);
        models.push_back({std::string(std::istreambuf_iterator<char>(f), {}), true});
    }
    for (const auto& [model, saveFormat] : models) {
        SessionSetup setup;
        setup.files["model.dat"] = model;
        Session s = RunKorvo(
            "6\n" + ReadFile("model.dat") + Save("first.dat") + ReadFile("first.dat") + Save("second.dat") + "6\n8\n",
            setup);
        ASSERT_EQ(s.status, 0) << s.err;
        const std::string first = s.file("first.dat");
        EXPECT_EQ(first, s.file("second.dat")) << "what the writer writes, the reader reads back unchanged";
        EXPECT_EQ(Numbers(first), Numbers(model)) << "same values, ISPARE and unused phases included";
        if (saveFormat) {
            EXPECT_EQ(first, model);
        }
    }
}

TEST(ModelFile, SavingOverTheFileJustReadRewritesItInPlace) {
    SessionSetup setup;
    // Lines after the last record must disappear when the file is rewritten.
    setup.files["model.dat"] = std::string(kEnglishModel) + "trailing line one\r\ntrailing line two\r\n";
    setup.files["taken.dat"] = "keep\r\n";
    // A blank name is asked again; N at taken.dat; the other name is the
    // file just read, overwritten after a repeated question.
    Session s = RunKorvo(
        "6\n" + ReadFile("model.dat") + Save("copy.dat") + "3\n\ntaken.dat\nn\nmodel.dat\nx\ny\n6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Input Save Data Filename > "), 3);
    EXPECT_EQ(Count(s, " Input Different Filename ... "), 1);
    EXPECT_EQ(Count(s, "    File model.dat      Already Exists ! Overwrite it ? Y/N >  "), 2);
    EXPECT_EQ(s.file("taken.dat"), "keep\r\n");
    EXPECT_EQ(s.file("model.dat"), s.file("copy.dat"));
}

// A valid model of `nsta` stations on two bearings with `nped` pedestals
// under the last one (refused when nped is above 1).
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
    const std::string tail = "3.0E7 0.283\n1\n0\n1.0E5 0 0 1.0E5 1 0 0 1\n1.0E5 0 0 1.0E5 1 0 0 1\n";
    const std::string units = "1 0\n1 0 1 0 0\n1 0 1 0 0\n";  // and two elements
    const std::vector<std::pair<std::string, std::string>> bad = {
        {GeneratedModel(99, 1), " 2 x stations + pedestals = 199 exceeds 198, the limit of the code"},
        {"X\n3 100 2 0 0\n", " The number of discs (100) must lie between 0 and 99"},
        {"X\n1 0 0 0 0\n", " The number of stations (1) must lie between 2 and 99"},
        {"X\n3 0 2 1 0\n" + units + "1 0\n3 0\n2 5\n1 1 1 1\n" + tail,
         " A pedestal may only stand at a bearing, in the order of the bearings"},
        {"X\n3 0 2 0 0\n" + units + "3 0\n1 0\n" + tail, " Bearing No.2 (station 1) is not in ascending station order"},
        {"X\n3 1 2 0 0\n" + units + "4 1 0 1 1 1 1\n1 0\n3 0\n" + tail, " Disc No.1 is at station 4, outside 1 to 3"},
        {"X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n100\n", " The number of speeds (100) must lie between 1 and 99"},
        {"X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n2\n2000\n1 0 0 1 1 0 0 1\n1000\n1 0 0 1 1 0 0 1\n",
         " Speed No.2 is not above the speed before it"},
        {"X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\nnan 0.283\n1\n0\n1 0 0 1 1 0 0 1\n1 0 0\n2 0 0\n",
         " Not a finite number in the record of the material"},
        {"X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n1\n0\n1 0 0 1 1 -Inf 0 1\n1 0 0\n2 0 0\n",
         " Not a finite number in the record of bearing 1 at speed 1"},
        {"X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n1\n0\n1 0 0 1 1 0 0 1\n1 0 0\n2 NaN 0\n",
         " Not a finite number in the record of the unbalance of station 2"},
    };
    // The first refusal comes before any model; 99 stations without
    // pedestals (198) are accepted; then the good model and the rest.
    SessionSetup setup;
    setup.files["big.dat"] = GeneratedModel(99, 0);
    setup.files["good.dat"] = kTwoStationHand;
    std::string input = "6\n" + ReadFile("bad0.dat") + "\n" + ReadFile("big.dat") + ReadFile("good.dat");
    for (size_t k = 0; k < bad.size(); ++k) {
        setup.files["bad" + std::to_string(k) + ".dat"] = bad[k].first;
        if (k > 0) input += ReadFile("bad" + std::to_string(k) + ".dat") + "\n";
    }
    Session s = RunKorvo(input + Save("after.dat") + "5\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    for (size_t k = 0; k < bad.size(); ++k)
        EXPECT_TRUE(HasBlock(s, "\a\n\a\n *** MODEL FILE bad" + std::to_string(k) + ".dat IS REFUSED ***\n" +
                                    bad[k].second + (k ? "\n The model in memory is unchanged." : "\n No model is in memory.") +
                                    "\nPress <Enter> to continue ... \n"));
    EXPECT_EQ(Count(s, "big.dat IS REFUSED"), 0);
    EXPECT_EQ(s.file("after.dat"), kTwoStationSaved);
    EXPECT_EQ(Count(s, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
}

TEST(ModelFile, UnreadableOrShortFilesEndTheRunWithTheReport) {
    SessionSetup setup;
    setup.files["short.dat"] = "BROKEN\n2 0 2 0 0\n1 0\n1 0 10 0 0\n1 0\n";
    setup.files["letters.dat"] = "BROKEN\n2 0 2 0 0\n1 0\n1 0 ten 0 0\n";
    for (const char* name : {"short.dat", "letters.dat"}) {
        Session s = RunKorvo("6\n" + ReadFile(name) + "6\n8\n", setup);
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
    EXPECT_EQ(Count(s, " Input the name of your data_file  ....  "), 1);
    EXPECT_EQ(Count(s, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(Count(s, "R O T O R   D Y N A M I C S"), 2);
}

}  // namespace
