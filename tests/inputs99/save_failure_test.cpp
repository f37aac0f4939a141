// The save dialog over an existing model file when the disk fills (a
// file-size limit on this process): the run ends with the write-error report
// after the usual dialogue, and the file keeps its old content; with room,
// the overwritten file holds exactly what a save to a new file holds; a file
// that cannot be written leads to another name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "inputs99/front_end.h"
#include "inputs99/rotor_model.h"
#include "recordio/recordio.h"
#include "tests/recordio/file_size_limit.h"

namespace fs = std::filesystem;

namespace {

// A model file as typed by hand (the program writes its own layout).
const char* const kEnglishModel =
    "SAVE FAILURE ROTOR\r\n"
    "3 1 2 0 0\r\n"
    "1 0\r\n"
    "2.0 0.0 10.0 0.7854 8.9\r\n"
    "2.0 0.0 10.0 0.7854 8.9\r\n"
    "2 12.0 2.0 1.5 46.7 863.5 440.5\r\n"
    "1 0.0\r\n"
    "3 0.0\r\n"
    "3.0E7 0.283\r\n"
    "1\r\n"
    "0.0\r\n"
    "5.0E5 0 0 5.0E5 50 0 0 50\r\n"
    "5.0E5 0 0 5.0E5 50 0 0 50\r\n"
    "1 0 0\r\n"
    "2 0.05 0\r\n"
    "3 0 0\r\n";

// Effective user and group id for a scope (no change for -1).
struct AsUser {
    explicit AsUser(int id) : id(id) {
        if (id >= 0 && (setegid(id) != 0 || seteuid(id) != 0)) ADD_FAILURE() << "cannot become user " << id;
    }
    ~AsUser() {
        if (id >= 0 && (seteuid(0) != 0 || setegid(0) != 0)) ADD_FAILURE() << "cannot become root again";
    }
    int id;
};

class SaveFailure : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("korvo-savefail-" + std::to_string(rd()));
        fs::create_directories(dir);
        oldDir = fs::current_path();
        fs::current_path(dir);
        ResetRecordIo();
        FRONT = FrontEndState();
        static const RotorModel empty{};
        MODEL = empty;
        std::ofstream("rotor.dat", std::ios::binary) << kEnglishModel;
        Console("rotor.dat\n");
        FileInputDialog(false);
        ASSERT_EQ(FRONT.HAVEDATA, 1);
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    void Console(const std::string& answers) {
        in.str(answers);
        in.clear();
        out.str("");
        SetConsoleStreams(&in, &out);
    }
    static std::string Slurp(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static int CountOf(const std::string& hay, const std::string& needle) {
        int n = 0;
        for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
        return n;
    }
    std::string Listing() const {
        std::string names;
        for (const auto& e : fs::directory_iterator(dir)) names += e.path().filename().string() + " ";
        return names;
    }

    fs::path dir, oldDir;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(SaveFailure, AFullDiskEndsTheSaveAndKeepsTheOldFile) {
    Console("rotor.dat\nY\n");
    std::string report;
    {
        FileSizeLimit limit(200);
        ASSERT_TRUE(limit.ok());
        try {
            SaveModelDialog();
        } catch (const RunTimeError& e) {
            report = e.what();
            ShutDownUnits();  // as main does
        }
    }
    EXPECT_TRUE(report == "\r\nrun-time error F6601: WRITE(rotor.dat)\r\n- write error\r\n" ||
                report == "\r\nrun-time error F6601: CLOSE(rotor.dat)\r\n- write error\r\n")
        << report;
    const std::string screen = out.str();
    EXPECT_NE(screen.find(" Input Save Data Filename > "), std::string::npos);
    EXPECT_NE(screen.find("    File rotor.dat      Already Exists ! Overwrite it ? Y/N >  "), std::string::npos);
    EXPECT_EQ(Slurp("rotor.dat"), kEnglishModel);
    EXPECT_EQ(Listing(), "rotor.dat ");
    EXPECT_EQ(FRONT.SAVED, 0);
}

TEST_F(SaveFailure, WithRoomTheOverwrittenFileEqualsANewSave) {
    Console("fresh.dat\n");
    SaveModelDialog();
    Console("rotor.dat\nY\n");
    SaveModelDialog();
    EXPECT_EQ(FRONT.SAVED, 1);
    ASSERT_NE(Slurp("fresh.dat"), "");
    EXPECT_EQ(Slurp("rotor.dat"), Slurp("fresh.dat"));
    EXPECT_NE(Slurp("rotor.dat"), kEnglishModel);  // written in the program's own layout
    EXPECT_EQ(Listing().size(), std::string("fresh.dat rotor.dat ").size());
}

TEST_F(SaveFailure, AnEntryThatCannotBeWrittenLeadsToAnotherName) {
    // After Y the open for reading and writing fails: " Not found !" and one
    // request for another name, without a second overwrite question; the
    // model is saved there. Nobody can write a directory as a file; a
    // read-only file is tried without root's rights (effective user nobody).
    for (bool directory : {true, false}) {
        fs::remove_all("ro.dat");
        fs::remove("new.dat");
        if (directory) {
            fs::create_directory("ro.dat");
        } else {
            std::ofstream("ro.dat", std::ios::binary) << "kept\r\n";
            fs::permissions("ro.dat", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        Console("ro.dat\nY\nnew.dat\n");
        {
            const bool drop = !directory && geteuid() == 0;
            if (drop) fs::permissions(dir, fs::perms::all);
            const AsUser nobody(drop ? 65534 : -1);
            EXPECT_NO_THROW(SaveModelDialog()) << directory;
        }
        const std::string screen = out.str();
        EXPECT_EQ(CountOf(screen, "    File ro.dat         Already Exists ! Overwrite it ? Y/N >  \r\n"
                                  "\r\n    File ro.dat         Not found !\r\n\r\n Input Different Filename ... "),
                  1)
            << screen;
        EXPECT_EQ(CountOf(screen, "Already Exists") + CountOf(screen, "Input Different"), 2);
        EXPECT_EQ(FRONT.SAVED, 1);
        EXPECT_EQ(FRONT.DATAFILE.trimmed(), "new.dat");
        EXPECT_NE(Slurp("new.dat").find("SAVE FAILURE ROTOR"), std::string::npos);
        if (!directory) {
            EXPECT_EQ(Slurp("ro.dat"), "kept\r\n");
        }
    }
}

}  // namespace
