// The front end in-process: the automatic re-read of the model file after a
// run, DATAFILE only naming files a model came from, HAVEUNB after a read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "inputs99/analysis_options.h"
#include "inputs99/front_end.h"
#include "inputs99/rotor_model.h"
#include "recordio/recordio.h"
#include "tests/inputs99/model_texts.h"
#include "tests/support/session.h"

namespace fs = std::filesystem;

namespace {

class FrontEndRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("korvo-reread-" + std::to_string(rd()));
        fs::create_directories(dir);
        oldDir = fs::current_path();
        fs::current_path(dir);
        ResetRecordIo();
        FRONT = FrontEndState();
        static RotorModel empty;
        MODEL = empty;
        std::ofstream("english.dat", std::ios::binary) << kEnglishModel;
        std::ofstream("metric.dat", std::ios::binary) << kMetricModel;
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    // Runs the front end on the answers until the exit of the main menu.
    void RunUntilStop(const std::string& answers) {
        in.str(answers);
        in.clear();
        out.str("");
        SetConsoleStreams(&in, &out);
        EXPECT_THROW(RunFrontEnd(), ProgramStop);
    }
    int Count(const std::string& text) const { return CountOccurrences(out.str(), text); }

    fs::path dir, oldDir;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(FrontEndRun, AutomaticRereadReadsTheStoredModelWithoutAsking) {
    FRONT.REREAD = 1;
    FRONT.DATAFILE = Text14("english.dat");
    // Main 6 reaches the data menu: the model is read at once; data 5 is
    // answered, so the model is in memory without a save.
    RunUntilStop("6\n5\n8\n");
    EXPECT_EQ(Count("Input the name of your data_file"), 0);
    EXPECT_EQ(Count(" ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(Count("D A T A    M E N U"), 1);
    EXPECT_EQ(FRONT.REREAD, 0);
    EXPECT_EQ(FRONT.HAVEDATA, 1);
    EXPECT_EQ(FRONT.HAVEUNB, 1);
    EXPECT_EQ(MODEL.TITLE.trimmed(), "LISTING TEST ROTOR");
    EXPECT_EQ(MODEL.ISPARE, 3);
    EXPECT_EQ(MODEL.NSPEED, 3);
    EXPECT_EQ(MODEL.BCOEF(3, 2, 3), -4000.0f);
    EXPECT_EQ(MODEL.UNBPHS(3), 45.0f);
    EXPECT_EQ(FRONT.INPOPT, 1);
}

TEST_F(FrontEndRun, DecliningAnotherNameAfterAFailedRereadShowsTheMenuWithoutModel) {
    FRONT.REREAD = 1;
    FRONT.DATAFILE = Text14("vanished.dat");
    // Pause, "n": the data menu without a model, so data 5 refuses.
    RunUntilStop("6\n\nn\n5\n\n6\n8\n");
    EXPECT_EQ(Count(" File not found. Press <Enter> to continue..."), 1) << "no retry of the failed read";
    EXPECT_EQ(Count(" Try Another Filename ? Y/N > "), 1);
    EXPECT_EQ(Count(" CANNOT RUN MAIN MENU OPTION WITHOUT DATA !"), 1);
    EXPECT_EQ(FRONT.REREAD, 0);
    EXPECT_EQ(FRONT.HAVEDATA, 0);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "vanished.dat");
}

TEST_F(FrontEndRun, AnotherNameAfterAFailedRereadBecomesTheDataFile) {
    FRONT.REREAD = 1;
    FRONT.DATAFILE = Text14("vanished.dat");
    RunUntilStop("6\n\ny\nmetric.dat\n5\n8\n");
    EXPECT_EQ(Count(" Input the name of your data_file  ....  "), 1);
    EXPECT_EQ(Count(" ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "metric.dat");
    EXPECT_EQ(MODEL.IUNITS, 2);
    EXPECT_EQ(FRONT.REREAD, 0);
}

TEST_F(FrontEndRun, DataFileNamesOnlyFilesAModelCameFromOrWentTo) {
    FRONT.DATAFILE = Text14("english.dat");
    // A name that is not found, declined: DATAFILE keeps its name.
    RunUntilStop("6\n1\n1\nmissing.dat\n\nn\n6\n8\n");
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "english.dat");
    // A refused file does not take the name either.
    std::ofstream("refused.dat", std::ios::binary) << "X\n200 0 0 0 0\n";
    RunUntilStop("6\n1\n1\nrefused.dat\n\n6\n8\n");
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "english.dat");
    EXPECT_EQ(FRONT.HAVEDATA, 0);
    // Saving names the file written; a name offered instead of an existing
    // one is the one kept.
    RunUntilStop("6\n1\n1\nmetric.dat\n3\nenglish.dat\nn\nsaved.dat\n6\n8\n");
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "saved.dat");
    EXPECT_EQ(FRONT.SAVED, 1);
    EXPECT_TRUE(fs::exists("saved.dat"));
}

TEST_F(FrontEndRun, UnbalanceFlagFollowsTheFileRead) {
    // All amplitudes zero (phases given) leave HAVEUNB at 0.
    std::string model = kEnglishModel;
    model.replace(model.find("2 0.5 0.0"), 9, "2 0.0 0.0");
    model.replace(model.find("5 0.25 90.0"), 11, "5 0.0 90.0");
    std::ofstream("nounb.dat", std::ios::binary) << model;
    RunUntilStop("6\n1\n1\nenglish.dat\n6\n8\n");
    EXPECT_EQ(FRONT.HAVEUNB, 1);
    FRONT.HAVEUNB = 1;
    RunUntilStop("6\n1\n1\nenglish.dat\n1\n1\nnounb.dat\n6\n8\n");
    EXPECT_EQ(FRONT.HAVEUNB, 0);
    // A negative amplitude counts as unbalance.
    model.replace(model.find("5 0.0 90.0"), 10, "5 -1.0 90.0");
    std::ofstream("negative.dat", std::ios::binary) << model;
    RunUntilStop("6\n1\n1\nnegative.dat\n6\n8\n");
    EXPECT_EQ(FRONT.HAVEUNB, 1);
}

TEST_F(FrontEndRun, EveryEntryResetsTheRunFields) {
    OPTS.NFILES = 5;
    OPTS.NPEDFILES = 2;
    OPTS.STABOPT = 3;
    OPTS.NCOLS = 1;
    OPTS.PLOTFILE(1) = Text14("old1.plt");
    OPTS.PEDFILE(2) = Text14("ped.plt");
    OPTS.BRGFILE(3) = Text14("brg.plt");
    OPTS.OUTFILE = Text14("old.out");
    OPTS.NOPENED = 4;
    FRONT.HAVEDATA = 1;
    FRONT.HAVEUNB = 1;
    RunUntilStop("8\n");
    EXPECT_EQ(OPTS.NFILES, 0);
    EXPECT_EQ(OPTS.NPEDFILES, 0);
    EXPECT_EQ(OPTS.STABOPT, 0);
    EXPECT_EQ(OPTS.NCOLS, 8);
    EXPECT_TRUE(OPTS.PLOTFILE(1).blank());
    EXPECT_TRUE(OPTS.PEDFILE(2).blank());
    EXPECT_TRUE(OPTS.BRGFILE(3).blank());
    EXPECT_TRUE(OPTS.OUTFILE.blank());
    EXPECT_EQ(OPTS.NOPENED, 0);
    EXPECT_EQ(FRONT.HAVEDATA, 0);
    EXPECT_EQ(FRONT.HAVEUNB, 0);
    EXPECT_FLOAT_EQ(FRONT.PI, 3.14159265f);
}

}  // namespace
