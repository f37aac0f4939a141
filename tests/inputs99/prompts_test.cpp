// The prompt routines and the front end driven in-process on scripted
// console streams: the file dialogs, the failed re-read of the model file
// after a run, DATAFILE, HAVEUNB and the resets of every entry.
#include <filesystem>
#include <fstream>
#include <random>

#include "inputs99/analysis_options.h"
#include "inputs99/front_end.h"
#include "inputs99/rotor_model.h"
#include "recordio/recordio.h"
#include "tests/inputs99/front_end_support.h"

namespace fs = std::filesystem;

namespace {

using namespace fe_test;

class FrontEnd : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("korvo-front-" + std::to_string(std::random_device()()));
        fs::create_directories(dir);
        oldDir = fs::current_path();
        fs::current_path(dir);
        ResetRecordIo();
        FRONT = FrontEndState();
        static RotorModel empty;
        MODEL = empty;
        Put("english.dat", kEnglishModel);
        Put("metric.dat", kMetricModel);
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
    // Runs the front end on the answers until the exit of the main menu.
    void RunUntilStop(const std::string& answers) {
        Answers(answers);
        EXPECT_THROW(RunFrontEnd(), ProgramStop);
    }
    int Count(const std::string& text) const { return CountOccurrences(out.str(), text); }
    static void Put(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
    static std::string Slurp(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    fs::path dir, oldDir;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(FrontEnd, OpenOldOnAMissingFileAsksAnotherNameWithoutQuestion) {
    Put("there.dat", "1\r\n");
    Answers("there.dat\n");
    Text14 name("missing.dat");
    Text3 status("OLD");
    OpenFileChecked(1, name, status);
    EXPECT_EQ(Count("\r\n    File missing.dat    Not found !\r\n"), 1);
    EXPECT_EQ(Count("Overwrite"), 0);
    EXPECT_EQ(name.trimmed(), "there.dat");
    int v = 0;
    Read(1, FREE, v);
    EXPECT_EQ(v, 1);
}

TEST_F(FrontEnd, AFileInUseByAnotherUnitIsNeverOverwritten) {
    // The report is open on unit 9; a result file of the same name must not
    // share it, and after Y the retry must not overwrite a later existing
    // name without asking.
    Put("later.txt", "precious\r\n");
    Text14 report("report.txt"), name("report.txt");
    Text3 status("NEW");
    Answers("");
    OpenFileChecked(9, report, status);
    Answers("y\nlater.txt\nn\nother.txt\n");
    OpenFileChecked(21, name, status);
    EXPECT_EQ(name.trimmed(), "other.txt");
    EXPECT_TRUE(status == "NEW");
    EXPECT_EQ(Count("File report.txt     Is In Use By This Run !"), 1);
    EXPECT_EQ(Count("File later.txt      Already Exists ! Overwrite it ? Y/N >  "), 1);
    EXPECT_EQ(Slurp("later.txt"), "precious\r\n");
    Write(9, "('still unit 9')");  // the report keeps its unit
    CloseUnit(9);
    EXPECT_EQ(Slurp("report.txt"), "still unit 9\r\n");
}

TEST_F(FrontEnd, AFailedRereadIsNotRetried) {
    // Declined: the data menu without a model, so data 5 refuses.
    FRONT.REREAD = 1;
    FRONT.DATAFILE = Text14("vanished.dat");
    RunUntilStop("6\n\nn\n5\n\n6\n8\n");
    EXPECT_EQ(Count(" File not found. Press <Enter> to continue...") + Count(" Try Another Filename ? Y/N > "), 2);
    EXPECT_EQ(Count(" CANNOT RUN MAIN MENU OPTION WITHOUT DATA !"), 1);
    EXPECT_EQ(FRONT.REREAD + FRONT.HAVEDATA, 0);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "vanished.dat");
    // Another name: it is read and becomes the data file.
    FRONT.REREAD = 1;
    RunUntilStop("6\n\ny\nmetric.dat\n5\n8\n");
    EXPECT_EQ(Count(" Input the name of your data_file  ....  "), 1);
    EXPECT_EQ(Count(" ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "metric.dat");
    EXPECT_EQ(MODEL.IUNITS, 2);
    EXPECT_EQ(FRONT.REREAD, 0);
}

TEST_F(FrontEnd, DataFileNamesOnlyFilesAModelCameFromOrWentTo) {
    FRONT.DATAFILE = Text14("english.dat");
    RunUntilStop("6\n1\n1\nmissing.dat\n\nn\n6\n8\n");  // not found, declined
    EXPECT_EQ(Count(" Input the name of your data_file  ....  \r\n File not found. Press <Enter> to continue...\r\n\r\n"
                    " Try Another Filename ? Y/N > \r\n"),
              1);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "english.dat");
    Put("refused.dat", "X\n200 0 0 0 0\n");
    RunUntilStop("6\n1\n1\nrefused.dat\n\n6\n8\n");
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "english.dat");
    EXPECT_EQ(FRONT.HAVEDATA, 0);
    // Saving names the file written: the name given instead of an existing
    // one. A missing name declined then keeps both name and model.
    RunUntilStop("6\n1\n1\nmetric.dat\n3\nenglish.dat\nn\nsaved.dat\n1\n1\ngone.dat\n\nn\n5\n8\n");
    EXPECT_EQ(Count(" ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(FRONT.DATAFILE.trimmed(), "saved.dat");
    EXPECT_EQ(FRONT.SAVED, 1);
    EXPECT_TRUE(fs::exists("saved.dat"));
}

TEST_F(FrontEnd, UnbalanceFlagFollowsTheAmplitudesRead) {
    std::string model = kEnglishModel;
    model.replace(model.find("2 0.5 0.0"), 9, "2 0.0 0.0");
    model.replace(model.find("5 0.25 90.0"), 11, "5 0.0 90.0");
    Put("nounb.dat", model);  // phases without amplitudes
    model.replace(model.find("5 0.0 90.0"), 10, "5 -1.0 90.0");
    Put("negative.dat", model);
    // The second read of a session sets the flag again.
    for (const auto& [files, flag] :
         {std::pair{"english.dat", 1}, {"english.dat\n1\n1\nnounb.dat", 0}, {"negative.dat", 1}}) {
        RunUntilStop("6\n1\n1\n" + std::string(files) + "\n6\n8\n");
        EXPECT_EQ(FRONT.HAVEUNB, flag) << files;
    }
}

TEST_F(FrontEnd, EveryEntryResetsTheRunFields) {
    OPTS.NFILES = 5, OPTS.NPEDFILES = 2, OPTS.STABOPT = 3, OPTS.NCOLS = 1;
    OPTS.PLOTFILE(1) = OPTS.PEDFILE(2) = OPTS.BRGFILE(3) = OPTS.OUTFILE = Text14("old.plt");
    FRONT.HAVEDATA = FRONT.HAVEUNB = 1;
    RunUntilStop("8\n");
    EXPECT_EQ(std::vector<int>({OPTS.NFILES, OPTS.NPEDFILES, OPTS.STABOPT, OPTS.NCOLS, FRONT.HAVEDATA, FRONT.HAVEUNB}),
              std::vector<int>({0, 0, 0, 8, 0, 0}));
    EXPECT_TRUE(OPTS.PLOTFILE(1).blank() && OPTS.PEDFILE(2).blank() && OPTS.BRGFILE(3).blank() && OPTS.OUTFILE.blank());
    EXPECT_FLOAT_EQ(FRONT.PI, 3.14159265f);
}

}  // namespace
